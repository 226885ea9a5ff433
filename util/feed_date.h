// Parsing and display of the dates found in feeds and HTTP headers. Results are local
// date-times (see util/date_time.h); every parser gives 0 for text it does not accept.
#pragma once

#include <optional>

#include "util/text.h"

// Minutes east of UTC named by a zone text: "+0900", "-05:00", or a name from the RFC 822 zone
// table ("GMT", "EST", military letters ...; case-insensitive). nullopt for anything else.
std::optional<int> ZoneOffsetMinutes(TextView zone);

// Minutes to subtract from a time stated in `zone` to obtain local time; 0 for an empty or
// unknown zone (the time is taken as local) and when the system time zone is unknown.
int ZoneBiasMinutes(TextView zone);

// "Sat, 07 Sep 2002 00:00:01 GMT", day name, seconds and zone optional, two-digit years allowed.
double ParseRfc822Date(TextView text);

// "2002-09-07T10:20:30.123+09:00"; seconds are required, the fraction is ignored.
double ParseW3cDate(TextView text);

// Either form: W3C first, then RFC 822.
double ParseFeedDate(TextView text);

// "2006/3/4 05:06" in local time, or the text unchanged when it holds no date.
Text FormatFeedDate(TextView text);
