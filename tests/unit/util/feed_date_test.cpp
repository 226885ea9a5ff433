#include "util/feed_date.h"

#include <gtest/gtest.h>

#include "tests/unit/util/date_text.h"
#include "util/time_zone.h"

// These tests run with the computer in Japan (TZ=Asia/Tokyo, UTC+9, no daylight saving), as the
// test drivers arrange natively and under Wine.
namespace {

constexpr int kTokyoBias = -540;

std::string Rfc822(TextView text) { return DateText(ParseRfc822Date(text)); }
std::string W3c(TextView text) { return DateText(ParseW3cDate(text)); }

TEST(FeedDate, TestsRunInTokyoTime) {
  EXPECT_EQ(SystemTimeZoneBiasMinutes(), std::optional<int>(kTokyoBias));
}

void ExpectZone(TextView zone, int hours) {
  EXPECT_EQ(ZoneOffsetMinutes(zone), std::optional<int>(hours * 60)) << TextToAscii(zone);
  EXPECT_EQ(ZoneOffsetMinutes(ToLowerAscii(zone)), std::optional<int>(hours * 60)) << TextToAscii(zone);
}

TEST(FeedDate, ZoneTableHasEveryRfc822Row) {
  for (TextView zone : {u"UTC", u"GMT", u"UT", u"Z"}) ExpectZone(zone, 0);
  ExpectZone(u"EST", -5);
  ExpectZone(u"EDT", -4);
  ExpectZone(u"CST", -6);
  ExpectZone(u"CDT", -5);
  ExpectZone(u"MST", -7);
  ExpectZone(u"MDT", -6);
  ExpectZone(u"PST", -8);
  ExpectZone(u"PDT", -7);
  // The letters count outwards from Greenwich with the signs RFC 822 prints: A-I and K-M west
  // (J skipped), N-Y east.
  int hours = 0;
  for (char16_t letter = u'A'; letter <= u'M'; ++letter)
    if (letter != u'J') ExpectZone(Text(1, letter), --hours);
  hours = 0;
  for (char16_t letter = u'N'; letter <= u'Y'; ++letter) ExpectZone(Text(1, letter), ++hours);
  for (TextView unknown : {u"J", u"JST", u"GMTX", u"G MT", u"", u"ZZ", u"CET"})
    EXPECT_FALSE(ZoneOffsetMinutes(unknown)) << TextToAscii(unknown);
}

TEST(FeedDate, NumericZonesNeedSignAndExactlyFourDigits) {
  EXPECT_EQ(ZoneOffsetMinutes(u"+0900"), 540);
  EXPECT_EQ(ZoneOffsetMinutes(u"+09:30"), 570);
  EXPECT_EQ(ZoneOffsetMinutes(u"-0500"), -300);
  EXPECT_EQ(ZoneOffsetMinutes(u"-03:30"), -210);
  EXPECT_EQ(ZoneOffsetMinutes(u" \t+0000\r\n"), 0);
  for (TextView bad : {u"0900", u"+900", u"+9:00", u"+09000", u"+09-00", u"+0a00", u"+09:0x",
                       u"*0900", u"+09:000", u"+ 0900"})
    EXPECT_FALSE(ZoneOffsetMinutes(bad)) << TextToAscii(bad);
}

TEST(FeedDate, ZoneBiasIsRelativeToTheComputersZone) {
  EXPECT_EQ(ZoneBiasMinutes(u"GMT"), kTokyoBias);
  EXPECT_EQ(ZoneBiasMinutes(u"+0900"), 0);
  EXPECT_EQ(ZoneBiasMinutes(u"EST"), kTokyoBias - 300);
  EXPECT_EQ(ZoneBiasMinutes(u"y"), kTokyoBias + 720);
  // Unknown or missing zones leave the time as it was written.
  EXPECT_EQ(ZoneBiasMinutes(u""), 0);
  EXPECT_EQ(ZoneBiasMinutes(u"JST"), 0);
}

TEST(FeedDate, Rfc822ConvertsToLocalTime) {
  EXPECT_EQ(Rfc822(u"Sat, 07 Sep 2002 00:00:01 GMT"), "2002-09-07 09:00:01");
  EXPECT_EQ(Rfc822(u"Sat, 07 Sep 2002 00:00:01 +0900"), "2002-09-07 00:00:01");
  EXPECT_EQ(Rfc822(u"07 Sep 02 10:20 EST"), "2002-09-08 00:20:00");
  EXPECT_EQ(Rfc822(u"Tue, 31 Dec 2002 20:00:00 -05:00"), "2003-01-01 10:00:00");
  EXPECT_EQ(Rfc822(u"Sat, 07 Sep 2002 10:20:30 JST"), "2002-09-07 10:20:30");
  EXPECT_EQ(Rfc822(u"Sat, 07 Sep 2002 10:20"), "2002-09-07 10:20:00");
  // Fields are separated by runs of spaces; the whole text may be wrapped in line breaks.
  EXPECT_EQ(Rfc822(u"\n  Sat,  7  Sep  2002  1:2:3   gmt \n"), "2002-09-07 10:02:03");
}

TEST(FeedDate, Rfc822FieldRules) {
  EXPECT_EQ(Rfc822(u"07 Sep 69 00:00:00 +0900"), "2069-09-07 00:00:00");
  EXPECT_EQ(Rfc822(u"07 Sep 70 00:00:00 +0900"), "1970-09-07 00:00:00");
  EXPECT_EQ(Rfc822(u"07 Sep 1850 12:00:00 +0900"), "1850-09-07 12:00:00");
  const TextView rejected[] = {
      u"",
      u"007 Sep 2002 10:20:30",      // day of three digits
      u"+7 Sep 2002 10:20:30",       // sign in a numeric field
      u"07 sep 2002 10:20:30",       // month names are case-sensitive
      u"07 Sept 2002 10:20:30",      // month of four letters
      u"07 Sep 202 10:20:30",        // year of three digits
      u"07 Sep 20020 10:20:30",      // year of five digits
      u"07 Sep 2002 100:20:30",      // hour of three digits
      u"07 Sep 2002 10:2x:30",       // non-digit in the minute
      u"07 Sep 2002 10",             // no minute
      u"07 Sep 2002",                // no time
      u"30 Feb 2002 10:20:30",       // no such day
      u"29 Feb 2001 10:20:30",       // not a leap year
      u"07 Sep 2002 24:00:00",       // hour out of range
      u"07 Sep 2002 10:20:60",       // seconds out of range
      u"07 Sep 0099 10:20:30",       // year below the date type's range
      u"31 Dec 9999 23:30:00 GMT",   // the zone shift leaves the range
      u"2002-09-07T10:20:30Z",
  };
  for (TextView text : rejected) EXPECT_EQ(ParseRfc822Date(text), 0) << TextToAscii(text);
  EXPECT_EQ(Rfc822(u"29 Feb 2004 10:20:30 +0900"), "2004-02-29 10:20:30");
}

TEST(FeedDate, W3cConvertsToLocalTime) {
  EXPECT_EQ(W3c(u"2002-09-07T10:20:30.123+09:00"), "2002-09-07 10:20:30");
  EXPECT_EQ(W3c(u"2002-09-07T10:20:30Z"), "2002-09-07 19:20:30");
  EXPECT_EQ(W3c(u"2002-09-07T20:20:30-0500"), "2002-09-08 10:20:30");
  EXPECT_EQ(W3c(u"2002-09-07T10:20:30.5 GMT"), "2002-09-07 19:20:30");
  EXPECT_EQ(W3c(u"2002-09-07T10:20:30"), "2002-09-07 10:20:30");
  EXPECT_EQ(W3c(u"2002-09-07T10:20:30+0930"), "2002-09-07 09:50:30");
  EXPECT_EQ(W3c(u"2004-02-29T23:00:00Z"), "2004-03-01 08:00:00");
  EXPECT_EQ(W3c(u"\n 2002-09-07T10:20:30+09:00 \n"), "2002-09-07 10:20:30");
}

TEST(FeedDate, W3cNeedsSecondsAndAValidDate) {
  const TextView rejected[] = {
      u"2002-09-07",
      u"2002-09-07T10:20Z",
      u"2002-09-07T10:20+09:00",  // the zone's colon is no seconds separator
      u"2002-09-07 10:20:30",
      u"2002/09/07T10:20:30",
      u"2002-13-07T10:20:30Z",
      u"2002-09-07T24:20:30Z",
      u"x002-09-07T10:20:30Z",
      u"2002-09-07T:20:30Z",
      u"99999999999-09-07T10:20:30Z",
      u"9999-12-31T23:30:00Z",        // the zone shift leaves the range
      u"0100-01-01T00:30:00+10:00",   // and so does this one, downwards
      u"Sat, 07 Sep 2002 00:00:01 GMT",
  };
  for (TextView text : rejected) EXPECT_EQ(ParseW3cDate(text), 0) << TextToAscii(text);
  EXPECT_EQ(W3c(u"0100-01-01T00:30:00+09:30"), "0100-01-01 00:00:00");
}

TEST(FeedDate, FeedDateTriesBothForms) {
  EXPECT_EQ(ParseFeedDate(u"2002-09-07T10:20:30+09:00"), ParseW3cDate(u"2002-09-07T10:20:30+09:00"));
  EXPECT_EQ(DateText(ParseFeedDate(u"Sat, 07 Sep 2002 00:00:01 GMT")), "2002-09-07 09:00:01");
  EXPECT_EQ(ParseFeedDate(u"2002-09-07"), 0);
  EXPECT_EQ(ParseFeedDate(u"2002-09-07T10:20Z"), 0);
}

TEST(FeedDate, FormatShowsLocalTimeOrTheTextUnchanged) {
  EXPECT_EQ(FormatFeedDate(u"2006-03-04T05:06:07+09:00"), u"2006/3/4 05:06");
  EXPECT_EQ(FormatFeedDate(u"Sat, 07 Sep 2002 00:00:01 GMT"), u"2002/9/7 09:00");
  EXPECT_EQ(FormatFeedDate(u"Tue, 31 Dec 2002 15:00:00 GMT"), u"2003/1/1 00:00");
  EXPECT_EQ(FormatFeedDate(u"2002-09-07"), u"2002-09-07");
  EXPECT_EQ(FormatFeedDate(u"2002-09-07T10:20Z"), u"2002-09-07T10:20Z");
  EXPECT_EQ(FormatFeedDate(u"昨日"), u"昨日");
}

}  // namespace
