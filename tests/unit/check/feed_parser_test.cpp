#include "check/feed_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

Text Day(int day) {
  Text text = u"2024-01-00T12:00:00+09:00";
  text[8] = char16_t(u'0' + day / 10);
  text[9] = char16_t(u'0' + day % 10);
  return text;
}

// Items titled by number; `dated` decides whether each carries the date of its number.
XmlElement Feed(TextView rootName, TextView itemName, const std::vector<int>& numbers,
                const std::vector<bool>& dated) {
  XmlElement root{Text(rootName)};
  const bool atom = rootName == u"feed";
  XmlElement* parent = &root;
  if (rootName == u"rss") parent = &root.AddElement(u"channel");
  if (rootName == u"rdf:RDF") root.AddElement(u"channel").AddElement(u"title", u"チャンネル");
  for (size_t i = 0; i < numbers.size(); ++i) {
    XmlElement& item = parent->AddElement(Text(itemName));
    item.AddElement(u"title", DecimalText(numbers[i]));
    if (dated[i]) item.AddElement(atom ? u"updated" : u"dc:date", Day(numbers[i]));
  }
  return root;
}

std::vector<int> Titles(const CRssItemArray& articles) {
  std::vector<int> titles;
  for (const auto& article : articles.Items()) titles.push_back(LeadingDecimal(article->title));
  return titles;
}

std::vector<int> Range(int from, int to, int step = 1) {
  std::vector<int> numbers;
  for (int n = from; step > 0 ? n <= to : n >= to; n += step) numbers.push_back(n);
  return numbers;
}

}  // namespace

TEST(FeedParser, CountAndOrderFollowTheDialect) {
  std::vector<int> shuffled = Range(1, 30);
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  const std::vector<bool> allDated(30, true), noneDated(30, false);
  std::vector<int> firstFifteenSorted(shuffled.begin(), shuffled.begin() + 15);
  std::sort(firstFifteenSorted.rbegin(), firstFifteenSorted.rend());

  struct Case {
    const char* name;
    XmlElement root;
    std::vector<int> expected;
  } cases[] = {
      {"RSS 2.0 keeps the newest dated", Feed(u"rss", u"item", shuffled, allDated), Range(30, 16, -1)},
      {"RSS 1.0 items beside the channel", Feed(u"rdf:RDF", u"item", shuffled, allDated),
       Range(30, 16, -1)},
      {"Atom reads only its first entries", Feed(u"feed", u"entry", shuffled, allDated),
       firstFifteenSorted},
      {"undated RSS keeps document order", Feed(u"rss", u"item", shuffled, noneDated),
       std::vector<int>(shuffled.begin(), shuffled.begin() + 15)},
      {"undated Atom keeps document order", Feed(u"feed", u"entry", shuffled, noneDated),
       std::vector<int>(shuffled.begin(), shuffled.begin() + 15)},
      // The first undated item ends sorting: later items follow in document order, dated or not.
      {"mixed", Feed(u"rss", u"item", {3, 9, 5, 1, 7, 2}, {true, true, true, false, true, false}),
       {9, 5, 3, 1, 7, 2}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto articles = ParseFeed(c.root, u"http://example.com/feed", 15);
    ASSERT_NE(articles, nullptr);
    EXPECT_EQ(Titles(*articles), c.expected);
    EXPECT_EQ(articles->FeedUrl(), u"http://example.com/feed");
  }
}

TEST(FeedParser, EqualDatesKeepDocumentOrderAndTheFeedHeaderIsRead) {
  XmlElement root(u"rss");
  XmlElement& channel = root.AddElement(u"channel");
  channel.AddElement(u"title", u" 日本語のサイト ");
  channel.AddElement(u"link", u"http://example.jp/");
  channel.AddElement(u"pubDate", u"Sat, 07 Sep 2002 00:00:01 GMT");
  for (const char16_t* title : {u"a", u"b", u"c"}) {
    XmlElement& item = channel.AddElement(u"item");
    item.AddElement(u"title", title);
    item.AddElement(u"pubDate", u"Sat, 07 Sep 2002 00:00:01 GMT");
  }
  // Items outside the channel of an RSS 2.0 document are not articles.
  root.AddElement(u"item").AddElement(u"title", u"outside");

  auto articles = ParseFeed(root, u"u", 15);
  ASSERT_NE(articles, nullptr);
  ASSERT_EQ(articles->Size(), 3u);
  EXPECT_EQ(articles->Items()[0]->title, u"a");
  EXPECT_EQ(articles->Items()[2]->title, u"c");
  EXPECT_NE(articles->Items()[0]->date, 0);
  EXPECT_EQ(articles->FeedTitle(), u"日本語のサイト");
  EXPECT_EQ(articles->FeedLink(), u"http://example.jp/");
  EXPECT_EQ(articles->FeedDate(), u"Sat, 07 Sep 2002 00:00:01 GMT");

  EXPECT_EQ(ParseFeed(XmlElement(u"opml"), u"u", 15), nullptr);
  EXPECT_EQ(ParseFeed(XmlElement(u"RSS"), u"u", 15), nullptr);
}

TEST(FeedParser, ItemFieldsFallBackInOrder) {
  XmlElement full(u"item");
  full.AddElement(u"title", u"t");
  full.AddElement(u"pubDate", u"later");
  full.AddElement(u"dc:date", u"2004-05-06T07:08:09+09:00");
  full.AddElement(u"author", u"a");
  full.AddElement(u"dc:creator", u"作者");
  full.AddElement(u"description", u"short");
  full.AddElement(u"content:encoded", u"<p>本文</p>");
  full.AddElement(u"enclosure").SetAttribute(u"url", u"http://example.com/a.mp3");
  full.AddElement(u"newflag", u"1");
  const CRssItem article = ReadRssItem(full);
  EXPECT_EQ(article.dateText, u"2004-05-06T07:08:09+09:00");
  EXPECT_NE(article.date, 0);
  EXPECT_EQ(article.creator, u"作者");
  EXPECT_EQ(article.content, u"<p>本文</p>");
  EXPECT_EQ(article.enclosure, u"http://example.com/a.mp3");
  EXPECT_EQ(article.newFlag, 1);

  XmlElement sparse(u"item");
  sparse.AddElement(u"pubDate", u"not a date");
  sparse.AddElement(u"creator", u"c");
  sparse.AddElement(u"description", u"d");
  const CRssItem fallback = ReadRssItem(sparse);
  EXPECT_EQ(fallback.dateText, u"not a date");
  EXPECT_EQ(fallback.date, 0);
  EXPECT_EQ(fallback.creator, u"c");
  EXPECT_EQ(fallback.content, u"d");
  EXPECT_EQ(fallback.title, u"");
  EXPECT_EQ(fallback.newFlag, 0);
}

TEST(FeedParser, AtomLinksAndContent) {
  auto link = [](XmlElement& entry, const char16_t* rel, const char16_t* href) {
    XmlElement& element = entry.AddElement(u"link");
    if (rel) element.SetAttribute(u"rel", rel);
    element.SetAttribute(u"href", href);
  };
  XmlElement selfThenAlternate(u"entry");
  link(selfThenAlternate, u"self", u"http://self/");
  link(selfThenAlternate, u"enclosure", u"http://enclosure/");
  link(selfThenAlternate, u"alternate", u"http://alternate/");
  link(selfThenAlternate, nullptr, u"http://later/");
  selfThenAlternate.AddElement(u"summary", u"要約");
  const CRssItem first = ReadAtomEntry(selfThenAlternate);
  EXPECT_EQ(first.link, u"http://alternate/");
  EXPECT_EQ(first.content, u"要約");

  XmlElement selfOnly(u"entry");
  link(selfOnly, u"self", u"http://self/");
  selfOnly.AddElement(u"author").AddElement(u"name", u"名前");
  selfOnly.AddElement(u"modified", u"2005-01-02T03:04:05Z");
  XmlElement& content = selfOnly.AddElement(u"content");
  content.SetAttribute(u"type", u"xhtml");
  XmlElement& div = content.AddElement(u"div");
  div.SetAttribute(u"xmlns", u"http://www.w3.org/1999/xhtml");
  div.AddText(u"a < b & ");
  div.AddElement(u"b", u"太字");
  div.AddElement(u"br");
  selfOnly.AddElement(u"summary", u"ignored");
  const CRssItem second = ReadAtomEntry(selfOnly);
  EXPECT_EQ(second.link, u"http://self/");
  EXPECT_EQ(second.creator, u"名前");
  EXPECT_EQ(second.dateText, u"2005-01-02T03:04:05Z");
  EXPECT_NE(second.date, 0);
  EXPECT_EQ(second.content,
            u"<div xmlns=\"http://www.w3.org/1999/xhtml\">a &lt; b &amp; <b>太字</b><br/></div>");

  XmlElement textContent(u"entry");
  textContent.AddElement(u"content", u"<p>escaped html</p>").SetAttribute(u"type", u"html");
  EXPECT_EQ(ReadAtomEntry(textContent).content, u"<p>escaped html</p>");
}
