// Feed discovery in a page: which link elements announce a feed, the title they get, and the
// resolution of their address against the page's.
#pragma once

#include "util/text.h"

// A link announces a feed when its type is one of the four feed types and its rel is
// "alternate", both in any letter case.
bool IsFeedLink(TextView type, TextView rel);

// The title attribute, or the address as the page wrote it when there is none; line breaks go,
// since the title becomes a menu item.
Text FeedLinkTitle(TextView title, TextView href);

// The band's own resolution of a feed reference against the page address: an absolute
// reference stays as it is; against an http or https page the reference's fields are laid
// over the page's directory ("" goes back to the host, ".." one level up).
Text ResolveFeedUrl(TextView base, TextView reference);

// The local command that hands a feed to the main program: "/add?" and the address as it is,
// except blanks, control characters and "#", which would end or split the request line (or be
// dropped as a fragment) and are percent-encoded instead.
Text AddFeedCommand(TextView feedUrl);
