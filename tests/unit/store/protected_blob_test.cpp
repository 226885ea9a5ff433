#include "store/protected_blob.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Base64, EncodesAndDecodesTheStandardVectors) {
  // RFC 4648 section 10, plus bytes that use both characters beyond the letters and digits.
  const struct {
    std::string bytes;
    Text text;
  } cases[] = {
      {"", u""},
      {"f", u"Zg=="},
      {"fo", u"Zm8="},
      {"foo", u"Zm9v"},
      {"foob", u"Zm9vYg=="},
      {"fooba", u"Zm9vYmE="},
      {"foobar", u"Zm9vYmFy"},
      {"\xFB\xFF\xBF", u"+/+/"},
      {"\0\0\0\0"s, u"AAAAAA=="},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeBase64(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(DecodeBase64(c.text), c.bytes) << c.bytes;
  }
  std::string every;
  for (int i = 0; i < 256; ++i) every.push_back(static_cast<char>(i));
  EXPECT_EQ(DecodeBase64(EncodeBase64(every)), every);
}

TEST(Base64, RefusesAnythingButStrictStandardText) {
  const Text bad[] = {
      u"Z",          u"Zg",        u"Zg=",       u"Zm9vY",      // not whole groups
      u"Zm9v\r\n",   u" Zm9v",     u"Zm 9v",                   // no white space
      u"Zm-_",       u"Zm9v!A==",  u"Zm9v\u00C0A==",          // other alphabets, foreign characters
      u"Zg==Zm9v",   u"Z===",      u"====",      u"Zm=v",       // padding only at the end, at most two
      u"Zh==",       u"Zm9=",                                   // unused bits not zero
      Text(u"Zm\0v", 4),
  };
  for (const Text& text : bad) EXPECT_EQ(DecodeBase64(text), std::nullopt) << TextToAscii(text);
}

TEST(ProtectedBlob, UserKeyFormCarriesTheKeyLengthFirst) {
  const std::string key(76, 'k');
  const std::optional<std::string> blob = JoinUserKeyBlob(key, "cipher!!");
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->substr(0, 4), "\x4C\0\0\0"s);
  EXPECT_EQ(blob->size(), 4 + 76 + 8u);
  const std::optional<UserKeyBlobParts> parts = SplitUserKeyBlob(*blob);
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->keyBlob, key);
  EXPECT_EQ(parts->cipher, "cipher!!");

  // The word is little-endian across all four bytes.
  const std::string wide = "\x01\x01\0\0"s + std::string(257, 'k') + "c";
  ASSERT_TRUE(SplitUserKeyBlob(wide));
  EXPECT_EQ(SplitUserKeyBlob(wide)->keyBlob.size(), 257u);
  EXPECT_EQ(SplitUserKeyBlob(wide)->cipher, "c");
  // A key blob that takes everything leaves no cipher text; that is for the cipher to refuse.
  EXPECT_EQ(SplitUserKeyBlob("\x02\0\0\0kk"s)->cipher, "");

  EXPECT_EQ(JoinUserKeyBlob("", "cipher"), std::nullopt);
}

TEST(ProtectedBlob, SplittingRefusesShortZeroAndOversizedWords) {
  const std::string bad[] = {
      "",
      "\x01\0\0"s,                         // no whole word
      "\0\0\0\0cipher"s,                   // the pass-phrase form
      "\x05\0\0\0kkkk"s,                   // key blob one byte past the end
      "\xFF\xFF\xFF\xFFkkkk"s,             // a length that would wrap if added carelessly
      "\0\0\0\x01kkkk"s,                   // the high byte counts
  };
  for (const std::string& blob : bad) EXPECT_EQ(SplitUserKeyBlob(blob), std::nullopt) << blob.size();

  EXPECT_EQ(JoinPassPhraseBlob("cipher"), "\0\0\0\0cipher"s);
  EXPECT_EQ(SplitPassPhraseBlob("\0\0\0\0cipher"s), "cipher");
  EXPECT_EQ(SplitPassPhraseBlob("\0\0\0\0"s), "");
  EXPECT_EQ(SplitPassPhraseBlob("\0\0\0"s), std::nullopt);
  EXPECT_EQ(SplitPassPhraseBlob("\x4C\0\0\0kkkk"s), std::nullopt);
  EXPECT_EQ(SplitPassPhraseBlob("\0\0\0\x01kkkk"s), std::nullopt);
}

TEST(SitePlainBytes, BindThePasswordToItsSource) {
  // "日本" and "秘密" in the system code page (Shift-JIS) under test.
  const std::string src = "http://example.jp/\x93\xFA\x96\x7B";
  const std::string password = "\x94\xE9\x96\xA7";
  const std::optional<std::string> plain = JoinSitePlainBytes(src, password);
  ASSERT_TRUE(plain);
  EXPECT_EQ(*plain, src + '\0' + password);
  EXPECT_EQ(SitePasswordFromPlainBytes(*plain, u"http://example.jp/日本"), u"秘密");

  // Only the exact source matches: no case folding, no prefix, no trailing extra.
  const Text otherSources[] = {u"http://example.jp/", u"HTTP://example.jp/日本",
                               u"http://example.jp/日本/", u""};
  for (const Text& other : otherSources) EXPECT_EQ(SitePasswordFromPlainBytes(*plain, other), std::nullopt);

  // The password may hold NUL itself; only the first one separates.
  EXPECT_EQ(SitePasswordFromPlainBytes("a\0b\0c"s, u"a"), Text(u"b\0c", 3));
  EXPECT_EQ(SitePasswordFromPlainBytes("a\0"s, u"a"), u"");
  EXPECT_EQ(SitePasswordFromPlainBytes("\0pw"s, u""), u"pw");
  EXPECT_EQ(SitePasswordFromPlainBytes("apw", u"a"), std::nullopt);
  // Bytes that are no text in the code page (a cut lead byte) do not come back.
  EXPECT_EQ(SitePasswordFromPlainBytes("a\0\x93"s, u"a"), std::nullopt);
  EXPECT_EQ(SitePasswordFromPlainBytes("\x93\0pw"s, u"\x93"), std::nullopt);

  EXPECT_EQ(JoinSitePlainBytes("a\0b"s, "pw"), std::nullopt);
}
