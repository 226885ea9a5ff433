#include "store/password_protection.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <cstring>
#include <optional>
#include <string>

#include "store/protected_blob.h"

using namespace std::string_literals;

namespace {

uint32_t LeadingWord(const std::string& blob) {
  uint32_t word = 0;
  std::memcpy(&word, blob.data(), sizeof word);  // little-endian, as is every Windows target
  return word;
}

class PasswordProtectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureKeyContainer()); }
};

}  // namespace

TEST_F(PasswordProtectionTest, UserKeyFormHasAFreshRc2KeyEveryTime) {
  ASSERT_TRUE(EnsureKeyContainer()) << "a second call finds what the first made";
  const Text clear = u"proxy pass";
  const Text first = ProtectText(clear);
  const Text second = ProtectText(clear);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(UnprotectText(first), clear);
  EXPECT_EQ(UnprotectText(second), clear);

  // Length word, then the message key as a SIMPLEBLOB under the key-exchange key, then the
  // cipher text padded to whole RC2 blocks.
  const std::optional<std::string> blob = DecodeBase64(first);
  ASSERT_TRUE(blob);
  ASSERT_GE(blob->size(), kBlobWordBytes + sizeof(BLOBHEADER) + sizeof(ALG_ID));
  const uint32_t keyBytes = LeadingWord(*blob);
  ASSERT_GE(keyBytes, sizeof(BLOBHEADER) + sizeof(ALG_ID));
  ASSERT_LT(keyBytes, blob->size() - kBlobWordBytes);
  BLOBHEADER header{};
  ALG_ID wrappedBy = 0;
  std::memcpy(&header, blob->data() + kBlobWordBytes, sizeof header);
  std::memcpy(&wrappedBy, blob->data() + kBlobWordBytes + sizeof header, sizeof wrappedBy);
  EXPECT_EQ(header.bType, SIMPLEBLOB);
  EXPECT_EQ(header.aiKeyAlg, ALG_ID(CALG_RC2));
  EXPECT_EQ(wrappedBy, ALG_ID(CALG_RSA_KEYX));
  const std::size_t cipherBytes = blob->size() - kBlobWordBytes - keyBytes;
  EXPECT_EQ(cipherBytes, 16u) << "10 bytes padded to two 8-byte blocks";

  EXPECT_EQ(ProtectText(u""), u"");
  EXPECT_EQ(UnprotectText(u""), u"");
  EXPECT_EQ(ProtectText(u"\U0001F600"), u"") << "no equivalent in the system code page";
  EXPECT_EQ(UnprotectText(ProtectText(u"日本語のパスワード")), u"日本語のパスワード");
}

TEST_F(PasswordProtectionTest, DamagedOrShortProtectedTextComesBackEmpty) {
  const std::optional<std::string> good = DecodeBase64(ProtectText(u"secret"));
  ASSERT_TRUE(good);
  const uint32_t keyBytes = LeadingWord(*good);
  std::string tooLong = *good;
  const uint32_t pastTheEnd = static_cast<uint32_t>(good->size() - kBlobWordBytes + 1);
  std::memcpy(tooLong.data(), &pastTheEnd, sizeof pastTheEnd);
  const Text bad[] = {
      u"QQ=",                               // fewer than 4 characters
      u"QUJD",                              // 3 bytes
      u"AAAAAA==",                          // a zero word: not the user-key form
      EncodeBase64(tooLong),                // the key blob runs past the end
      EncodeBase64(good->substr(0, kBlobWordBytes + keyBytes)),  // no cipher text
      EncodeBase64(good->substr(0, good->size() - 1)),           // a cut block
      // A byte missing from the key blob: the word now takes one byte of the cipher text too.
      EncodeBase64(good->substr(0, kBlobWordBytes + keyBytes - 1) +
                   good->substr(kBlobWordBytes + keyBytes)),
      ProtectText(u"secret") + u"\r\n",                         // base64 is read strictly
  };
  for (const Text& text : bad) {
    EXPECT_EQ(UnprotectText(text), u"") << TextToAscii(text);
    EXPECT_EQ(UnprotectSitePassword(text, u"", u""), u"") << TextToAscii(text);
  }
}

TEST_F(PasswordProtectionTest, SitePasswordsOnlyComeBackForTheirSource) {
  const Text src = u"http://例え.jp/フィード.rdf";
  const Text password = u"ひみつ pass";
  const Text first = ProtectSitePassword(password, src, u"");
  const Text second = ProtectSitePassword(password, src, u"");
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(UnprotectSitePassword(first, src, u""), password);
  EXPECT_EQ(UnprotectSitePassword(second, src, u""), password);
  EXPECT_EQ(UnprotectSitePassword(first, u"http://例え.jp/", u""), u"");
  EXPECT_EQ(UnprotectSitePassword(first, u"http://xn--r8jz45g.jp/フィード.rdf", u""), u"");
  // A protected setting has no source part, so it is no site password.
  EXPECT_EQ(UnprotectSitePassword(ProtectText(password), src, u""), u"");
  EXPECT_EQ(ProtectSitePassword(u"", src, u""), u"");
  EXPECT_EQ(UnprotectSitePassword(u"", src, u""), u"");
}

TEST_F(PasswordProtectionTest, PassPhraseFormIsDeterministicAndDoesNotCrossTheUserKeyForm) {
  const Text src = u"http://example.jp/rss";
  const Text password = u"パスワード";
  const Text storedPhrase = ProtectText(u"合言葉");
  const Text storedAgain = ProtectText(u"合言葉");
  ASSERT_NE(storedPhrase, storedAgain);

  // Computed apart from CryptoAPI (OpenSSL): RC2-CBC with 40 effective bits, zero IV and
  // PKCS #5 padding; the key is the first 5 bytes of MD5("合言葉" in Shift-JIS) followed by the
  // 11 zero bytes of salt that the provider appends; the plain bytes are the src, NUL and the
  // password in Shift-JIS.
  const Text underPhrase = ProtectSitePassword(password, src, storedPhrase);
  EXPECT_EQ(underPhrase, u"AAAAACkVcBbC8e+vpYf8WF2omrxM62F3EbwZM+6nrpnvl2J5j1TKsbaJCK4=");
  // Same phrase, same key: readable wherever the user enters the phrase again.
  EXPECT_EQ(ProtectSitePassword(password, src, storedPhrase), underPhrase);
  EXPECT_EQ(ProtectSitePassword(password, src, storedAgain), underPhrase);
  EXPECT_EQ(UnprotectSitePassword(underPhrase, src, storedAgain), password);
  EXPECT_NE(ProtectSitePassword(password, u"http://example.jp/atom", storedPhrase), underPhrase);

  const std::optional<std::string> blob = DecodeBase64(underPhrase);
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->substr(0, kBlobWordBytes), "\0\0\0\0"s);
  // "http://example.jp/rss", NUL and 10 bytes of Shift-JIS: 32 bytes, padded by a whole block.
  EXPECT_EQ(blob->size() - kBlobWordBytes, 40u);

  EXPECT_EQ(UnprotectSitePassword(underPhrase, u"http://example.jp/atom", storedPhrase), u"");
  EXPECT_EQ(UnprotectSitePassword(underPhrase, src, ProtectText(u"別の言葉")), u"");
  // With the phrase removed, or set after the password was stored, the other form stays unread.
  EXPECT_EQ(UnprotectSitePassword(underPhrase, src, u""), u"");
  const Text underUserKey = ProtectSitePassword(password, src, u"");
  EXPECT_EQ(UnprotectSitePassword(underUserKey, src, storedPhrase), u"");
  EXPECT_EQ(UnprotectSitePassword(underUserKey, src, u""), password);

  // A stored phrase that does not come back must not fall back to the user key.
  EXPECT_EQ(ProtectSitePassword(password, src, u"AAAAAA=="), u"");
  EXPECT_EQ(UnprotectSitePassword(underPhrase, src, u"AAAAAA=="), u"");
}
