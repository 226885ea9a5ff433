#include "store/data_file.h"

#include <gtest/gtest.h>

#include "tests/unit/store/sample_tree.h"
#include "tests/unit/test_data.h"
#include "util/code_page.h"

namespace {

constexpr char kDeclarationLine[] = "<?xml version='1.0' encoding='utf-8'?>\n";

void ExpectSameArticles(const CRssItemArray* actual, const CRssItemArray* expected) {
  ASSERT_NE(actual, nullptr);  // a loaded site always has a list
  if (!expected) {
    EXPECT_EQ(actual->Size(), 0u);
    return;
  }
  EXPECT_EQ(actual->FeedDate(), expected->FeedDate());
  ASSERT_EQ(actual->Size(), expected->Size());
  for (size_t i = 0; i < actual->Size(); ++i) {
    const CRssItem& a = *actual->Items()[i];
    const CRssItem& e = *expected->Items()[i];
    EXPECT_EQ(a.title, e.title);
    EXPECT_EQ(a.link, e.link);
    EXPECT_EQ(a.dateText, e.dateText);
    EXPECT_EQ(a.content, e.content);
    EXPECT_EQ(a.creator, e.creator);
    EXPECT_EQ(a.enclosure, e.enclosure);
    EXPECT_EQ(a.newFlag, e.newFlag);
    EXPECT_NE(a.date, 0);
  }
}

void ExpectSameItem(const CItemBase& a, const CItemBase& e) {
  SCOPED_TRACE(ToUtf8(e.title));
  EXPECT_EQ(a.kind, e.kind);
  EXPECT_EQ(a.title, e.title);
  EXPECT_EQ(a.link, e.link);
  EXPECT_EQ(a.newFlag, e.newFlag);
  EXPECT_EQ(a.interval, e.interval);
  EXPECT_EQ(a.noCheck, e.noCheck);
  EXPECT_EQ(a.src, e.src);
  EXPECT_EQ(a.orgSrc, e.orgSrc.empty() ? e.src : e.orgSrc);
  EXPECT_EQ(a.user, e.user);
  EXPECT_EQ(a.pass, e.pass);
  EXPECT_EQ(a.lastModified, e.lastModified);
  EXPECT_EQ(a.etag, e.etag);
  EXPECT_EQ(a.checkCount, e.checkCount);
  EXPECT_EQ(a.updateCount, e.updateCount);
  EXPECT_EQ(a.errorCount, e.errorCount);
  EXPECT_EQ(a.updateTime, e.updateTime);
  EXPECT_EQ(a.errorCode, e.errorCode);
}

}  // namespace

// The writer's document is the hand-written file; reading it back gives the same tree.
TEST(DataFile, SampleTreeWritesTheExpectedDocumentAndReadsBack) {
  FolderList expected = SampleTree();
  expected[1]->src.clear();  // a folder src that is no address is not stored
  const XmlDocumentData document = BuildDataDocument(SampleTree());
  EXPECT_EQ(document.declaration, u"version='1.0' encoding='utf-8'");
  const std::string file = ReadTestData("datafile/sample.dat");
  EXPECT_EQ(kDeclarationLine + ToUtf8(document.root.Markup()) + "\n", file);

  FolderList loaded;
  ASSERT_TRUE(ReadDataDocument(document.root, ItemReadOptions{}, loaded));
  ASSERT_EQ(loaded.size(), expected.size());
  for (size_t f = 0; f < loaded.size(); ++f) {
    const auto& folder = *loaded[f];
    const auto& want = *expected[f];
    ExpectSameItem(folder, want);
    EXPECT_EQ(folder.filterMode, want.filterMode);
    EXPECT_EQ(folder.filterKeywords, want.filterKeywords);
    EXPECT_EQ(folder.filterFields, want.filterFields);
    ASSERT_EQ(folder.Children().size(), want.Children().size());
    for (size_t s = 0; s < folder.Children().size(); ++s) {
      const auto& site = static_cast<const CRssSiteItem&>(*folder.Children()[s]);
      const auto& wantSite = static_cast<const CRssSiteItem&>(*want.Children()[s]);
      EXPECT_EQ(site.Parent(), &folder);
      ExpectSameItem(site, wantSite);
      EXPECT_EQ(site.compareDate, wantSite.compareDate);
      ExpectSameArticles(site.articles.get(), wantSite.articles.get());
    }
  }
}

TEST(DataFile, ReadingRules) {
  XmlElement root(u"pelun");
  auto folderElement = [&root](TextView interval) -> XmlElement& {
    XmlElement& folder = root.AddElement(u"item");
    folder.SetAttribute(u"type", u"folder");
    if (!interval.empty()) folder.AddElement(u"interval", interval);
    return folder;
  };
  for (TextView interval : {u"5", u"0", u"15", u"999", u"1000", u"-1", u""}) folderElement(interval);
  // Only folders at the top and sites inside them count.
  root.AddElement(u"item").SetAttribute(u"type", u"rss");
  root.AddElement(u"folder");
  XmlElement& folder = folderElement(u"");
  folder.AddElement(u"item").SetAttribute(u"type", u"folder");
  auto addSite = [&folder](TextView src, bool withUsedate) -> XmlElement& {
    XmlElement& site = folder.AddElement(u"item");
    site.SetAttribute(u"type", u"rss");
    site.AddElement(u"src", src);
    if (withUsedate) site.AddElement(u"usedate", u"1");
    return site;
  };
  addSite(u"http://auction.example/list?q=1", false);
  addSite(u"http://auction.example/list?q=2", true);
  XmlElement& many = addSite(u"http://example.com/", false);
  many.AddElement(u"count").SetAttribute(u"update", u"7");
  for (int day = 1; day <= 30; ++day) {
    XmlElement& article = many.AddElement(u"item");
    article.AddElement(u"title", DecimalText(day));
    article.AddElement(u"dc:date", u"2024-01-" + Text(day < 10 ? u"0" : u"") + DecimalText(day) +
                                        u"T00:00:00+09:00");
  }

  FolderList folders;
  ASSERT_TRUE(ReadDataDocument(root, ItemReadOptions{15, u"auction.example"}, folders));
  ASSERT_EQ(folders.size(), 8u);
  const int32_t intervals[] = {-1, 0, 15, 999, -1, -1, -1};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(folders[i]->interval, intervals[i]) << i;
  const auto& sites = folders[7]->Children();
  ASSERT_EQ(sites.size(), 3u);
  const auto& auction = static_cast<const CRssSiteItem&>(*sites[0]);
  EXPECT_EQ(auction.compareDate, 0);
  EXPECT_EQ(auction.orgSrc, auction.src);
  EXPECT_EQ(static_cast<const CRssSiteItem&>(*sites[1]).compareDate, 1);
  const auto& full = static_cast<const CRssSiteItem&>(*sites[2]);
  EXPECT_EQ(full.compareDate, 1);
  EXPECT_EQ(full.updateCount, 7u);
  EXPECT_EQ(full.checkCount, 0u);
  EXPECT_EQ(full.updateTime, 0);
  ASSERT_EQ(full.articles->Size(), 15u);
  EXPECT_EQ(full.articles->Items().front()->title, u"30");
  EXPECT_EQ(full.articles->Items().back()->title, u"16");

  FolderList none;
  EXPECT_FALSE(ReadDataDocument(XmlElement(u"opml"), ItemReadOptions{}, none));
  EXPECT_TRUE(none.empty());
}
