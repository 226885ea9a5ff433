#include "check/article_merge.h"

#include <gtest/gtest.h>

#include "util/code_page.h"

namespace {

std::unique_ptr<CRssItem> Article(TextView title, TextView date = u"d", int32_t flag = 0) {
  auto article = std::make_unique<CRssItem>();
  article->title = title;
  article->link = u"http://example.com/" + Text(title);
  article->dateText = date;
  article->content = u"本文です";
  article->creator = u"作者";
  article->enclosure = u"http://example.com/e";
  article->newFlag = flag;
  return article;
}

std::unique_ptr<CRssItemArray> Articles(std::initializer_list<TextView> titles) {
  auto articles = std::make_unique<CRssItemArray>(u"src", u"t", u"l", u"");
  for (TextView title : titles) articles->Append(Article(title));
  return articles;
}

Text Summary(const CRssItemArray& articles) {
  Text summary;
  for (const auto& article : articles.Items())
    summary += article->title + (article->newFlag ? u"* " : u" ");
  return summary;
}

struct SiteInFolder {
  CFolderItem folder;
  CRssSiteItem* site;
  SiteInFolder() {
    site = static_cast<CRssSiteItem*>(
        InsertChildAfter(folder, std::make_unique<CRssSiteItem>(), nullptr));
  }
};

}  // namespace

TEST(ArticleMerge, NewArticlesAreFoundAndDroppedOnesCarriedOver) {
  SiteInFolder tree;
  CRssSiteItem& site = *tree.site;

  // First check: everything is new.
  EXPECT_TRUE(MergeArticles(Articles({u"c", u"b", u"a"}), site, &tree.folder, 2));
  EXPECT_EQ(Summary(*site.articles), u"c* b* a* ");

  // The user read them; the same feed again brings nothing, and the site keeps its own list.
  site.newFlag = 0;
  for (const auto& article : site.articles->Items()) article->MarkNotNew();
  const CRssItemArray* kept = site.articles.get();
  EXPECT_FALSE(MergeArticles(Articles({u"c", u"b", u"a"}), site, &tree.folder, 2));
  EXPECT_EQ(site.articles.get(), kept);

  // One new article on top; two dropped out of the feed, of which LeftItem = 1 is kept.
  EXPECT_TRUE(MergeArticles(Articles({u"d", u"c"}), site, &tree.folder, 1));
  EXPECT_EQ(Summary(*site.articles), u"d* c b ");
  const CRssItem& seen = *site.articles->Items()[1];
  EXPECT_TRUE(seen.content.empty() && seen.creator.empty() && seen.enclosure.empty());
  EXPECT_FALSE(site.articles->Items()[0]->content.empty());

  // While the site's news is unread, a seen article keeps its flag from the old list.
  site.newFlag = 1;
  EXPECT_TRUE(MergeArticles(Articles({u"e", u"d", u"c"}), site, &tree.folder, 5));
  EXPECT_EQ(Summary(*site.articles), u"e* d* c b ");
}

TEST(ArticleMerge, ChangedDatesCountOnlyWhenTheSiteComparesThem) {
  for (int32_t compareDate : {1, 0}) {
    SCOPED_TRACE(compareDate);
    CRssSiteItem site;
    site.compareDate = compareDate;
    auto old = std::make_unique<CRssItemArray>(u"src", u"t", u"l", u"");
    old->Append(Article(u"a", u"Mon"));
    site.articles = std::move(old);
    auto fresh = std::make_unique<CRssItemArray>(u"src", u"t", u"l", u"");
    fresh->Append(Article(u"a", u"Tue"));
    EXPECT_EQ(MergeArticles(std::move(fresh), site, nullptr, 5), compareDate == 1);
    // The carried-over test ignores dates: the old article is never kept twice.
    EXPECT_EQ(site.articles->Size(), 1u);
  }
}

TEST(ArticleMerge, KeywordFilter) {
  struct Case {
    int32_t mode;
    const char16_t* keywords;
    int32_t fields;
    int32_t expectedFlag;
    bool contentKept;
  } cases[] = {
      {0, u"absent", 0, 1, true},                   // filter off
      {1, u"", 0, 1, true},                         // no keywords
      {1, u"price", 0, 1, true},                    // in the title
      {1, u"price absent", 0, 1, false},            // all must occur: fails, kept new without body
      {1 | 2, u"price absent", 0, 1, true},         // any may occur
      {1 | 8, u"absent", 0, 0, false},              // failing made not new
      {1 | 4 | 8, u"price", 0, 0, false},           // inverted
      {1 | 8, u"price", 1, 0, false},               // title skipped, not in the body
      {1 | 8, u"本文", 1, 1, true},                 // found in the body
      {1 | 8, u"本文", 2, 0, false},                // body skipped
      {1 | 8, u"example.com", 4, 1, true},          // the link searched
      {1 | 8, u"作者", 8, 1, true},                 // the creator searched
      {1 | 8, u"absent", 1 | 2, 1, true},           // no field selected: not applied
      {1 | 8, u"\"price list\"", 0, 1, true},       // quotes group words
      {1 | 8, u"Price", 0, 0, false},               // case-sensitive
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << ToUtf8(c.keywords) << " " << c.fields);
    CFolderItem folder;
    folder.filterMode = c.mode;
    folder.filterKeywords = c.keywords;
    folder.filterFields = c.fields;
    CRssItem article = *Article(u"price list");
    EXPECT_EQ(ApplyKeywordFilter(1, article, folder), c.expectedFlag);
    if (c.expectedFlag) {
      EXPECT_EQ(!article.content.empty(), c.contentKept);
    }
    // Articles already not new are never filtered.
    EXPECT_EQ(ApplyKeywordFilter(0, article, folder), 0);
  }
}
