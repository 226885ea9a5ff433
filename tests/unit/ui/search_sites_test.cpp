#include "ui/search_sites.h"

#include <gtest/gtest.h>

#include "tests/unit/store/memory_profile.h"

namespace {

void Define(MemoryProfile& file, int number, TextView face, TextView html = u"h", TextView rss = u"r") {
  const Text section = u"search" + DecimalText(number);
  file.Set(section, u"face", face);
  file.Set(section, u"html", html);
  file.Set(section, u"rss", rss);
}

}  // namespace

TEST(SearchSites, DefinitionsEndAtTheFirstIncompleteSection) {
  MemoryProfile file;
  Define(file, 1, u"ニュース", u"http://a/?q=//key@utf-8//", u"http://a/rss?q=//key@utf-8//");
  Define(file, 2, u"B");
  Define(file, 4, u"after a gap");
  const auto sites = ReadSearchSites(file);
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_EQ(sites[0].face, u"ニュース");
  EXPECT_EQ(sites[0].pageTemplate, u"http://a/?q=//key@utf-8//");
  EXPECT_EQ(sites[0].feedTemplate, u"http://a/rss?q=//key@utf-8//");
  EXPECT_EQ(sites[1].face, u"B");

  MemoryProfile emptyValue;
  Define(emptyValue, 1, u"A");
  Define(emptyValue, 2, u"B", u"h", u"");
  Define(emptyValue, 3, u"C");
  EXPECT_EQ(ReadSearchSites(emptyValue).size(), 1u);
  EXPECT_TRUE(ReadSearchSites(MemoryProfile()).empty());
}

TEST(SearchSites, EachMarkerGetsTheKeywordInItsEncoding) {
  const std::pair<TextView, TextView> rows[] = {
      {u"http://s/?q=//key@utf-8//", u"http://s/?q=%E6%97%A5%E6%9C%AC+%E8%AA%9E"},
      {u"http://s/?q=//key@euc//", u"http://s/?q=%C6%FC%CB%DC+%B8%EC"},
      {u"http://s/?q=//key@sjis//", u"http://s/?q=%93%FA%96%7B+%8C%EA"},
      // Every occurrence, two markers each in its own encoding.
      {u"http://s/?a=//key@sjis//&b=//key@utf-8//&c=//key@sjis//",
       u"http://s/?a=%93%FA%96%7B+%8C%EA&b=%E6%97%A5%E6%9C%AC+%E8%AA%9E&c=%93%FA%96%7B+%8C%EA"},
      {u"http://s/fixed", u"http://s/fixed"},
  };
  for (const auto& [urlTemplate, url] : rows) EXPECT_EQ(BuildSearchUrl(urlTemplate, u"日本 語"), url);
  EXPECT_EQ(BuildSearchUrl(u"//key@utf-8//", u"a*-.@_/+&~"), u"a*-.@_%2F%2B%26%7E");
}

TEST(SearchSites, KeywordsAnEncodingCannotHoldGiveNoUrl) {
  // Half-width katakana has no place in EUC-JP's conversion from Shift-JIS; UTF-8 takes it.
  EXPECT_EQ(BuildSearchUrl(u"?e=//key@euc//", u"ﾃｽﾄ"), u"");
  EXPECT_EQ(BuildSearchUrl(u"?u=//key@utf-8//&e=//key@euc//", u"ﾃｽﾄ"), u"");
  EXPECT_EQ(BuildSearchUrl(u"?u=//key@utf-8//", u"ﾃｽﾄ"), u"?u=%EF%BE%83%EF%BD%BD%EF%BE%84");
  // Characters outside Shift-JIS are refused rather than searched for as "?".
  EXPECT_EQ(BuildSearchUrl(u"?s=//key@sjis//", u"😀"), u"");
  EXPECT_EQ(BuildSearchUrl(u"?u=//key@utf-8//", u""), u"");
  // A keyword that spells a marker stays a keyword.
  EXPECT_EQ(BuildSearchUrl(u"?u=//key@utf-8//&s=//key@sjis//", u"//key@sjis//"),
            u"?u=%2F%2Fkey@sjis%2F%2F&s=%2F%2Fkey@sjis%2F%2F");
}
