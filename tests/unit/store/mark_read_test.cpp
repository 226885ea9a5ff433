#include "store/mark_read.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

CRssSiteItem& AddSite(CFolderItem& folder, int freshArticles, int oldArticles) {
  auto site = std::make_unique<CRssSiteItem>();
  site->articles = std::make_unique<CRssItemArray>(u"", u"", u"", u"");
  for (int i = 0; i < freshArticles + oldArticles; ++i) {
    auto article = std::make_unique<CRssItem>();
    article->title = u"t";
    if (i < freshArticles) {
      article->newFlag = 1;
      article->content = u"body";
      article->creator = u"c";
      article->enclosure = u"http://h/f";
    }
    site->articles->Append(std::move(article));
  }
  site->newFlag = freshArticles ? 1 : 0;
  if (freshArticles) folder.newFlag = 1;
  const auto& children = folder.Children();
  auto* last = children.empty() ? nullptr : children.back().get();
  return static_cast<CRssSiteItem&>(*InsertChildAfter(folder, std::move(site), last));
}

bool AllRead(const CRssSiteItem& site) {
  for (const auto& article : site.articles->Items())
    if (article->newFlag || !article->content.empty() || !article->creator.empty() ||
        !article->enclosure.empty())
      return false;
  return site.newFlag == 0;
}

}  // namespace

TEST(MarkItemRead, SiteThenLastSiteThenWholeFolder) {
  CFolderItem folder;
  CRssSiteItem& first = AddSite(folder, 2, 1);
  CRssSiteItem& second = AddSite(folder, 1, 0);
  MarkItemRead(first);
  EXPECT_TRUE(AllRead(first));
  EXPECT_EQ(first.articles->Size(), 3u);
  EXPECT_EQ(first.articles->Items()[0]->title, u"t");
  EXPECT_EQ(folder.newFlag, 1);  // the second site still has news
  EXPECT_FALSE(AllRead(second));
  MarkItemRead(second);
  EXPECT_EQ(folder.newFlag, 0);

  CFolderItem other;
  CRssSiteItem& a = AddSite(other, 1, 0);
  CRssSiteItem& b = AddSite(other, 3, 2);
  CRssSiteItem& bare =
      static_cast<CRssSiteItem&>(*InsertChildAfter(other, std::make_unique<CRssSiteItem>(), &b));
  bare.newFlag = 1;  // a site without articles still loses its flag
  MarkItemRead(other);
  EXPECT_TRUE(AllRead(a));
  EXPECT_TRUE(AllRead(b));
  EXPECT_EQ(bare.newFlag, 0);
  EXPECT_EQ(other.newFlag, 0);
}
