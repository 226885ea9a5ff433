// Real documents through the platform's DOM and the feed reader.
#include <gtest/gtest.h>

#include "check/feed_parser.h"
#include "store/item_tree.h"
#include "tests/unit/test_data.h"
#include "util/code_page.h"
#include "util/xml_dom_win.h"

namespace {

std::unique_ptr<CRssItemArray> ParseCorpusFeed(std::string_view name, std::size_t loadItem = 15) {
  const std::string bytes = ReadTestData(std::string("feeds/") + std::string(name));
  EXPECT_FALSE(bytes.empty()) << name;
  auto root = LoadXmlDocument(bytes);
  if (!root) return nullptr;
  return ParseFeed(*root, u"http://feed.example/", loadItem);
}

}  // namespace

TEST(FeedCorpus, EachDialectReadsItsHeaderAndArticles) {
  auto rss10 = ParseCorpusFeed("rss10.rdf");
  ASSERT_NE(rss10, nullptr);
  EXPECT_EQ(rss10->FeedTitle(), u"日記のサイト");
  EXPECT_EQ(rss10->FeedDate(), u"2006-03-04T05:06:07+09:00");
  ASSERT_EQ(rss10->Size(), 2u);
  const CRssItem& newest = *rss10->Items()[0];
  EXPECT_EQ(newest.title, u"新しい記事 & 話題");
  EXPECT_EQ(newest.content, u"<p>本文です。<b>太字</b></p>");
  EXPECT_EQ(newest.creator, u"田中");
  EXPECT_EQ(rss10->Items()[1]->content, u"概要だけ");

  auto atom = ParseCorpusFeed("atom10.xml");
  ASSERT_NE(atom, nullptr);
  EXPECT_EQ(atom->FeedLink(), u"http://example.org/");
  ASSERT_EQ(atom->Size(), 2u);
  EXPECT_EQ(atom->Items()[0]->title, u"新しいエントリ");
  EXPECT_EQ(atom->Items()[0]->link, u"http://example.org/self/2");
  EXPECT_EQ(atom->Items()[0]->content, u"要約 <b>");
  const CRssItem& older = *atom->Items()[1];
  EXPECT_EQ(older.link, u"http://example.org/2003/12/13/atom03");
  EXPECT_EQ(older.creator, u"Mark");
  // Whether the namespace declaration shows as an attribute depends on the DOM's version.
  EXPECT_TRUE(StartsWith(older.content, u"<div"));
  EXPECT_TRUE(EndsWith(older.content, u"><p><i>[Update: The Atom draft is finished.]</i></p></div>"))
      << ToUtf8(older.content);

  auto atom03 = ParseCorpusFeed("atom03.xml");
  ASSERT_NE(atom03, nullptr);
  EXPECT_EQ(atom03->FeedDate(), u"2004-01-02T03:04:05Z");
  ASSERT_EQ(atom03->Size(), 1u);
  EXPECT_EQ(atom03->Items()[0]->link, u"http://example.net/1");
  EXPECT_EQ(atom03->Items()[0]->content, u"<p>escaped</p>");
  EXPECT_NE(atom03->Items()[0]->date, 0);
}

TEST(FeedCorpus, CountOrderAndAwkwardDocuments) {
  auto thirty = ParseCorpusFeed("rss20_30.xml");
  ASSERT_NE(thirty, nullptr);
  ASSERT_EQ(thirty->Size(), 15u);
  EXPECT_EQ(thirty->Items().front()->title, u"Item 30");
  EXPECT_EQ(thirty->Items().back()->title, u"Item 16");
  EXPECT_EQ(thirty->Items().front()->enclosure, u"http://example.com/30.mp3");

  auto undated = ParseCorpusFeed("undated.xml", 5);
  ASSERT_NE(undated, nullptr);
  ASSERT_EQ(undated->Size(), 5u);
  EXPECT_EQ(undated->Items().front()->title, u"U1");
  EXPECT_EQ(undated->Items().back()->title, u"U5");

  // A document type declaration pointing at a DTD on the web is never fetched or applied.
  auto doctype = ParseCorpusFeed("doctype.xml");
  ASSERT_NE(doctype, nullptr);
  EXPECT_EQ(doctype->FeedTitle(), u"Café news");
  ASSERT_EQ(doctype->Size(), 1u);
  EXPECT_EQ(doctype->Items()[0]->title, u"Crème brûlée");

  // Prefixes the feed forgot to bind are still found by their names as written.
  auto unbound = ParseCorpusFeed("unbound_prefix.xml");
  ASSERT_NE(unbound, nullptr);
  ASSERT_EQ(unbound->Size(), 1u);
  EXPECT_EQ(unbound->Items()[0]->dateText, u"2007-08-09T10:11:12+09:00");
  EXPECT_EQ(unbound->Items()[0]->creator, u"誰か");
  EXPECT_EQ(unbound->Items()[0]->content, u"<p>body</p>");
}

TEST(FeedCorpus, BrokenDocumentsGiveTheirErrorCodes) {
  struct Case {
    const char* document;
    int32_t errorCode;
  } cases[] = {
      {"<?xml version=\"1.0\"?>\n<rss><channel></rss>", CItemBase::kErrorXml},
      {"", CItemBase::kErrorXml},
      {"<html><body/></html>", CItemBase::kErrorRss},
      {"<rss version=\"2.0\"><channel><title>t</title></channel></rss>", 0},
  };
  for (const auto& c : cases) {
    const FeedReadResult result = ReadFeedDocument(LoadXmlDocument(c.document), u"u", 15);
    EXPECT_EQ(result.errorCode, c.errorCode) << c.document;
    EXPECT_EQ(result.articles != nullptr, c.errorCode == 0) << c.document;
  }
}
