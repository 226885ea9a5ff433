#include "util/url_encoding.h"

#include <gtest/gtest.h>

// Percent escapes are bytes of the system code page, Shift-JIS (932) under test.
TEST(PercentDecode, DecodesEscapesAsSystemCodePageBytes) {
  EXPECT_EQ(PercentDecode(u"a%20b+c"), u"a b+c");
  EXPECT_EQ(PercentDecode(u"%93%FA%96%7B%8C%EA"), u"日本語");
  EXPECT_EQ(PercentDecode(u"%93%fa%96%7b%8c%ea"), u"日本語");
  EXPECT_EQ(PercentDecode(u"日本%20語"), u"日本 語");
  // A character may be split between an escape and a literal trail byte: 83 41 is "ア".
  EXPECT_EQ(PercentDecode(u"%83A"), u"ア");
  EXPECT_EQ(PercentDecode(u"C:/My%20Feeds/a.xml"), u"C:/My Feeds/a.xml");
}

TEST(PercentDecode, KeepsPercentSignsWithoutTwoHexDigits) {
  EXPECT_EQ(PercentDecode(u"%"), u"%");
  EXPECT_EQ(PercentDecode(u"100%"), u"100%");
  EXPECT_EQ(PercentDecode(u"%4"), u"%4");
  EXPECT_EQ(PercentDecode(u"%zz%g1"), u"%zz%g1");
  EXPECT_EQ(PercentDecode(u"%%41"), u"%A");
  EXPECT_EQ(PercentDecode(u"%2541"), u"%41");  // decoded once, not again
}

TEST(PercentDecode, NeverProducesNulOrLosesCharacters) {
  // A NUL would cut a decoded file path short at the platform boundary.
  EXPECT_EQ(PercentDecode(u"secret.txt%00.xml"), u"secret.txt%00.xml");
  // Bytes that are not Shift-JIS (a lead byte left alone at the end) leave the text undecoded.
  EXPECT_EQ(PercentDecode(u"a%20%82"), u"a%20%82");
  // So does text the code page cannot hold, instead of a "?" in its place.
  EXPECT_EQ(PercentDecode(u"\u00A5%20\U0001F600"), u"\u00A5%20\U0001F600");
}

TEST(FormEncode, KeepsTheSafeSetAndEscapesEveryOtherByte) {
  EXPECT_EQ(FormEncode("azAZ09*-.@_"), "azAZ09*-.@_");
  EXPECT_EQ(FormEncode("a b"), "a+b");
  EXPECT_EQ(FormEncode("+&=/~%?#"), "%2B%26%3D%2F%7E%25%3F%23");
  EXPECT_EQ(FormEncode("\x93\xFA\x96\x7B"), "%93%FA%96%7B");
  EXPECT_EQ(FormEncode(std::string_view("\0\xFF", 2)), "%00%FF");
  EXPECT_EQ(FormEncode(""), "");
}
