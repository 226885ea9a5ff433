#include "util/code_page.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// "日本語" in the system code page (Shift-JIS) under test.
const std::string kNihongoShiftJis = "\x93\xFA\x96\x7B\x8C\xEA";

}  // namespace

TEST(Utf8, RoundTripsEveryPlane) {
  const Text text = u"a\u00E9日本語\U0001F600";
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, "a\xC3\xA9\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xF0\x9F\x98\x80");
  EXPECT_EQ(FromUtf8(utf8), text);
  EXPECT_EQ(FromUtf8(""), u"");
}

TEST(Utf8, LoneSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(ToUtf8(Text{char16_t(0xD800), u'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(ToUtf8(Text{u'x', char16_t(0xD83D)}), "x\xEF\xBF\xBD");
  // A low surrogate before a high one is no pair.
  EXPECT_EQ(ToUtf8(Text{char16_t(0xDC00), char16_t(0xD800)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, IllFormedInputBecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");                  // overlong "/"
  EXPECT_EQ(FromUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");        // overlong, three bytes
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");        // an encoded surrogate
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
  EXPECT_EQ(FromUtf8("\xFE\xFF"), u"\uFFFD\uFFFD");
  // A cut sequence is one replacement, and the byte that cut it is read on its own.
  EXPECT_EQ(FromUtf8("\xE6\x97" "A"), u"\uFFFDA");
  EXPECT_EQ(FromUtf8("\xE6\x97\xE6\x97\xA5"), u"\uFFFD日");
  EXPECT_EQ(FromUtf8("\xF0\x9F\x98"), u"\uFFFD");
}

TEST(SystemCodePage, ConvertsJapaneseTextBothWays) {
  EXPECT_EQ(ToSystemCodePage(u"日本語"), kNihongoShiftJis);
  EXPECT_EQ(FromSystemCodePage(kNihongoShiftJis), u"日本語");
  // ASCII as it is (backslash and tilde included), half-width katakana and a vendor symbol.
  const std::string mixed = "a\\~\xB1\x87\x40";
  EXPECT_EQ(ToSystemCodePage(u"a\\~\uFF71\u2460"), mixed);
  EXPECT_EQ(FromSystemCodePage(mixed), u"a\\~\uFF71\u2460");
  EXPECT_EQ(ToSystemCodePage(u""), "");
  EXPECT_EQ(FromSystemCodePage(""), u"");
}

TEST(SystemCodePage, RefusesCharactersWithoutAnExactEquivalent) {
  // The yen sign and the overline have look-alikes (backslash, tilde) that change meaning.
  EXPECT_EQ(ToSystemCodePage(u"C:\u00A5dir"), std::nullopt);
  EXPECT_EQ(ToSystemCodePage(u"\u203E"), std::nullopt);
  EXPECT_EQ(ToSystemCodePage(u"caf\u00E9"), std::nullopt);
  EXPECT_EQ(ToSystemCodePage(u"\U0001F600"), std::nullopt);
  EXPECT_EQ(ToSystemCodePage(Text{u'a', char16_t(0xD800)}), std::nullopt);
}

TEST(SystemCodePage, RefusesInvalidBytes) {
  EXPECT_EQ(FromSystemCodePage("\x93\xFA\x96"), std::nullopt);  // lead byte at the end
  EXPECT_EQ(FromSystemCodePage("\x82"), std::nullopt);
}

TEST(ToMultiByte, ReportsTheNeededSizeForAnEmptyBuffer) {
  EXPECT_EQ(ToMultiByte(u"日本語", nullptr, 0, true), 10);
  EXPECT_EQ(ToMultiByte(u"日本語", nullptr, 0, false), 7);
  EXPECT_EQ(ToMultiByte(u"", nullptr, 0, false), 1);
}

TEST(ToMultiByte, WritesAndTerminatesWhatFits) {
  char buffer[16];
  EXPECT_EQ(ToMultiByte(u"日本語", buffer, sizeof buffer, false), 7);
  EXPECT_EQ(std::string(buffer), kNihongoShiftJis);
  EXPECT_EQ(ToMultiByte(u"日本語", buffer, 7, false), 7);
  EXPECT_EQ(std::string(buffer), kNihongoShiftJis);
  EXPECT_EQ(ToMultiByte(u"", buffer, sizeof buffer, true), 1);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(ToMultiByte, TruncatesAtACharacterBoundary) {
  char buffer[16];
  // Six bytes do not fit in 5 + 1: the cut falls after "日本", not inside "語".
  EXPECT_EQ(ToMultiByte(u"日本語", buffer, 6, false), 5);
  EXPECT_EQ(std::string(buffer), "\x93\xFA\x96\x7B");
  EXPECT_EQ(ToMultiByte(u"a日", buffer, 3, false), 2);
  EXPECT_EQ(std::string(buffer), "a");
  // UTF-8: "a" + three bytes of "あ" need 5 bytes; 4 leave room for "a" only.
  EXPECT_EQ(ToMultiByte(u"aあ", buffer, 4, true), 2);
  EXPECT_EQ(std::string(buffer), "a");
  // A surrogate pair is one four-byte character, never cut in two.
  EXPECT_EQ(ToMultiByte(u"x\U0001F600", buffer, 5, true), 2);
  EXPECT_EQ(std::string(buffer), "x");
  EXPECT_EQ(ToMultiByte(u"x\U0001F600y", buffer, 6, true), 6);
  EXPECT_EQ(std::string(buffer), "x\xF0\x9F\x98\x80");
  EXPECT_EQ(ToMultiByte(u"日本語", buffer, 1, true), 1);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(ToMultiByte, FailsWithZeroAndAnEmptyBuffer) {
  char buffer[8] = "junk";
  EXPECT_EQ(ToMultiByte(u"\u00A5100", buffer, sizeof buffer, false), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(ToMultiByte(u"\u00A5100", nullptr, 0, false), 0);
  EXPECT_EQ(ToMultiByte(u"abc", nullptr, 4, true), 0);
  EXPECT_EQ(ToMultiByte(u"abc", buffer, -1, true), 0);
}

TEST(ShiftJisToEucJp, ConvertsKnownCharacters) {
  EXPECT_EQ(ShiftJisToEucJp("\x82\xA0"), "\xA4\xA2");  // あ
  EXPECT_EQ(ShiftJisToEucJp("\x8A\xBF"), "\xB4\xC1");  // 漢
  EXPECT_EQ(ShiftJisToEucJp("\x81\x5B"), "\xA1\xBC");  // ー
  EXPECT_EQ(ShiftJisToEucJp(kNihongoShiftJis), "\xC6\xFC\xCB\xDC\xB8\xEC");
  // Around the trail byte gap at 0x7F and the switch to the even row at 0x9F.
  EXPECT_EQ(ShiftJisToEucJp("\x81\x7E\x81\x80"), "\xA1\xDF\xA1\xE0");  // × ÷
  EXPECT_EQ(ShiftJisToEucJp("\x81\x9E\x81\x9F"), "\xA1\xFE\xA2\xA1");  // ◯ ◆
  EXPECT_EQ(ShiftJisToEucJp("\xE0\x40\xEA\xA4"), "\xDF\xA1\xF4\xA6");  // 漾 熙
  EXPECT_EQ(ShiftJisToEucJp("key=\x82\xA0&x"), "key=\xA4\xA2&x");
  EXPECT_EQ(ShiftJisToEucJp(""), "");
}

TEST(ShiftJisToEucJp, MapsEveryDoubleByteCharacterToADistinctEucPair) {
  std::set<std::string> seen;
  for (unsigned lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead == 0xA0) lead = 0xE0;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string euc = ShiftJisToEucJp(std::string{char(lead), char(trail)});
      ASSERT_EQ(euc.size(), 2u) << lead << " " << trail;
      for (const char byte : euc) {
        ASSERT_GE(static_cast<unsigned char>(byte), 0xA1) << lead << " " << trail;
        ASSERT_LE(static_cast<unsigned char>(byte), 0xFE) << lead << " " << trail;
      }
      seen.insert(euc);
    }
  }
  EXPECT_EQ(seen.size(), 94u * 94u);
}

TEST(ShiftJisToEucJp, GivesEmptyTextForWhatItCannotConvert) {
  EXPECT_EQ(ShiftJisToEucJp("abc\xB1"), "");          // half-width katakana
  EXPECT_EQ(ShiftJisToEucJp("\xA0"), "");
  EXPECT_EQ(ShiftJisToEucJp("\x82\xA0\x82"), "");     // lead byte cut off at the end
  EXPECT_EQ(ShiftJisToEucJp("\x82\x26x"), "");        // trail byte below 0x40 would eat "&"
  EXPECT_EQ(ShiftJisToEucJp("\x82\x7F"), "");
  EXPECT_EQ(ShiftJisToEucJp("\x82\xFD"), "");
  EXPECT_EQ(ShiftJisToEucJp("\x80"), "");
  EXPECT_EQ(ShiftJisToEucJp("\xF0\x40"), "");         // user-defined area: no JIS X 0208 row
}

TEST(CodePage, DecodesTheCodePagesDocumentsArriveIn) {
  struct Case {
    unsigned codePage;
    std::string bytes;
    Text text;
  };
  const Case cases[] = {
      {932, "\x87\x40\x87\x56\x87\x8A\x82\xA0\xB1", u"①Ⅲ㈱あｱ"},  // vendor extras included
      {932, "\x81\x60", u"\uFF5E"},
      {932, "", u""},
      {20932, "\xC6\xFC\xCB\xDC\xB8\xEC\x8E\xB1", u"日本語ｱ"},
      {20932, "\xA1\xC1\xA1\xDD", u"\u301C\u2212"},  // the JIS mapping, unlike 932's
      {20932, "\x8F\xB0\xA1x", u"\u4E02x"},          // JIS X 0212 as a triple
      {1252, "\x80\x93q\x94\xE9\x81\x9F", u"€“q”é\u0081Ÿ"},
      {28591, "\x80\xE9", u"\u0080é"},
      {28605, "\xA4", u"€"},
      {28592, "\xB1", u"ą"},
      {1251, "\xC0", u"А"},
      {20866, "\xC1", u"а"},
      {936, "\xC4\xE3", u"你"},
      {949, "\xC7\xD1", u"한"},
      {950, "\xA4\xA4", u"中"},
      {65001, "\xE6\x97\xA5", u"日"},
  };
  for (const Case& c : cases) EXPECT_EQ(FromCodePage(c.bytes, c.codePage), c.text) << c.codePage;

  // Every byte is a character in 1252, the same on both platforms.
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(char(b));
  const auto decoded = FromCodePage(everyByte, 1252);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, FromWindows1252(everyByte));
  EXPECT_EQ(decoded->substr(0x80, 2), u"€\u0081");
  EXPECT_EQ(decoded->substr(0xFE), u"þÿ");
}

TEST(CodePage, RefusesInvalidBytesAndUnknownCodePages) {
  const std::pair<unsigned, std::string> cases[] = {
      {932, "\x82"},          {932, "\x82\xA0\x82"}, {932, "\xA0"},          {20932, "\xC6"},
      {20932, "\xC6\x41"},    {20932, "\xA0"},       {20932, "\x8E\xE0"},    {20932, "\x8F\xB0"},
      {65001, "\xED\xA0\x80"}, {65001, "\xC3"},      {1253, "\xAA"},         {12345, "a"},
      {0, "a"},
  };
  for (const auto& [codePage, bytes] : cases) EXPECT_EQ(FromCodePage(bytes, codePage), std::nullopt) << codePage;
}
