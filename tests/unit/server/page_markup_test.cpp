#include "server/page_markup.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/test_data.h"

TEST(PageMarkup, FeedAddressesInLinksAreFilteredAndEscaped) {
  const struct {
    TextView url;
    TextView href;
  } cases[] = {
      {u"http://h/p?a=1&b=\"2\"<>", u"http://h/p?a=1&amp;b=&quot;2&quot;&lt;&gt;"},
      {u"HTTPS://h/", u"HTTPS://h/"},
      {u" ftp://h/f ", u"ftp://h/f"},
      {u"../rel.html#x:y", u""},  // would resolve against the local server
      {u"&#106;avascript:x", u""},
      {u"http://127.0.0.1:4474/reload", u""},
      {u"http://LOCALHOST./new", u""},
      {u"", u""},
      {u"javascript:alert(1)", u""},
      {u" JavaScript:alert(1)", u""},
      {u"java\tscript:alert(1)", u""},
      {u"data:text/html,x", u""},
      {u"file:///c:/x", u""},
      {u"mailto:a@b", u""},
      {u"rel\n.html", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeHref(c.url), c.href) << TextToAscii(c.url);
}

TEST(PageMarkup, BodyWhitelistResolution) {
  Text storage;
  EXPECT_EQ(ResolveBodyWhitelist(u"*", storage), nullptr);
  const Text* configured = ResolveBodyWhitelist(u"b,i", storage);
  ASSERT_NE(configured, nullptr);
  EXPECT_EQ(*configured, u"b,i");
  const Text* fallback = ResolveBodyWhitelist(u"", storage);
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(*fallback, kDefaultBodyWhitelist);
  for (TextView refused : {u"script", u"style", u"iframe", u"object", u"embed", u"form", u" on"})
    EXPECT_EQ(kDefaultBodyWhitelist.find(refused), TextView::npos) << TextToAscii(refused);
}

// The shipped define.ini spells out the same default, so that users see what is allowed.
TEST(PageMarkup, ShippedDefineIniCarriesTheDefaultWhitelist) {
  const std::string ini = ReadTestData("../../app/define.ini");
  const size_t section = ini.find("[html]");
  ASSERT_NE(section, std::string::npos);
  const size_t key = ini.find("\nallow=", section);
  ASSERT_NE(key, std::string::npos);
  std::string value = ini.substr(key + 7, ini.find_first_of("\r\n", key + 7) - key - 7);
  EXPECT_EQ(AsciiToText(value), kDefaultBodyWhitelist);
}
