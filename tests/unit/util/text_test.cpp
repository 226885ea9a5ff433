#include "util/text.h"

#include <gtest/gtest.h>

TEST(TextHelpers, TrimRemovesAsciiWhiteSpaceOnly) {
  EXPECT_EQ(Trim(u" \t a b \r\n"), u"a b");
  EXPECT_EQ(Trim(u"\u3000x\u3000"), u"\u3000x\u3000");
  EXPECT_EQ(Trim(u"   "), u"");
}

TEST(TextHelpers, LeadingDecimalFollowsTheProfileRule) {
  EXPECT_EQ(LeadingDecimal(u"  42abc"), 42);
  EXPECT_EQ(LeadingDecimal(u"-1"), -1);
  EXPECT_EQ(LeadingDecimal(u"+7"), 7);
  EXPECT_EQ(LeadingDecimal(u"abc"), 0);
  EXPECT_EQ(LeadingDecimal(u""), 0);
  EXPECT_EQ(LeadingDecimal(u"- 5"), 0);
  EXPECT_EQ(static_cast<uint32_t>(LeadingDecimal(u"4294967295")), 4294967295u);
}

TEST(TextHelpers, CaseInsensitiveCompareIsAsciiOnly) {
  EXPECT_TRUE(EqualsIgnoreCaseAscii(u"GMT", u"gmt"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii(u"GMT", u"GM"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii(u"\u00c4", u"\u00e4"));
}

TEST(TextHelpers, ReplaceAllDoesNotRescanReplacements) {
  Text text = u"a&b&&";
  ReplaceAll(text, u"&", u"&amp;");
  EXPECT_EQ(text, u"a&amp;b&amp;&amp;");
}
