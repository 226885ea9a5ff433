#include "store/item_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using Order = std::vector<const CItemBase*>;

CRssSiteItem* AddSite(CFolderItem& folder, const char16_t* title, int64_t updateTime = 0) {
  auto site = std::make_unique<CRssSiteItem>();
  site->title = title;
  site->updateTime = updateTime;
  const auto& children = folder.Children();
  auto* last = children.empty() ? nullptr : children.back().get();
  return static_cast<CRssSiteItem*>(InsertChildAfter(folder, std::move(site), last));
}

Order OrderOf(const CFolderItem& folder) {
  Order order;
  for (const auto& child : folder.Children()) order.push_back(child.get());
  return order;
}

std::unique_ptr<CRssItem> Article(int32_t newFlag) {
  auto article = std::make_unique<CRssItem>();
  article->newFlag = newFlag;
  article->content = u"<p>body</p>";
  return article;
}

}  // namespace

TEST(ItemTree, SourceKindCheckabilityAndKey) {
  CRssSiteItem site;
  for (auto [src, kind] : {std::pair{u"ftp://x/", 0}, {u"pelunpub:x", 1}, {u"https://x/", 2},
                           {u"http://x/", 2}, {u"xhttp://x/", 0}, {u"HTTP://x/", 0}}) {
    site.src = src;
    EXPECT_EQ(SourceKind(site), kind) << TextToAscii(site.src);
  }
  EXPECT_TRUE(site.IsCheckable());
  site.noCheck = 1;
  EXPECT_FALSE(site.IsCheckable());
  EXPECT_FALSE(CRssSiteItem().IsCheckable());  // empty src
  site.user = u"u";
  site.pass = u"p";
  EXPECT_EQ(UniqueKey(site), u"u\tp\tHTTP://x/");
}

TEST(ItemTree, ErrorTextsByCodeRange) {
  EXPECT_EQ(GetErrorText(404), u"HTTPエラー(404)");
  EXPECT_EQ(GetErrorText(19999), u"通信エラー(19999)");
  EXPECT_EQ(GetErrorText(1), u"タイムアウト");
  EXPECT_EQ(GetErrorText(40000), u"XML解析エラー");
  EXPECT_EQ(GetErrorText(50000), u"RSS解析エラー");
  for (int32_t code : {0, 2, 99, 1000, 9999, 20000, -404}) EXPECT_EQ(GetErrorText(code), u"");
}

TEST(ItemTree, InsertAndRemoveKeepParentsAndOwnership) {
  CFolderItem folder, other;
  CRssSiteItem* a = AddSite(folder, u"a");
  CRssSiteItem* b = AddSite(folder, u"b");
  CRssSiteItem stranger;
  auto* first = InsertChildAfter(folder, std::make_unique<CRssSiteItem>(), &stranger);
  auto* afterA = InsertChildAfter(folder, std::make_unique<CRssSiteItem>(), a);
  EXPECT_EQ(OrderOf(folder), (Order{first, a, afterA, b}));
  EXPECT_EQ(a->Parent(), &folder);

  EXPECT_EQ(RemoveChild(other, a), nullptr);
  std::unique_ptr<CItemBase> kept = RemoveChild(folder, a);
  ASSERT_EQ(kept.get(), a);
  EXPECT_EQ(kept->Parent(), nullptr);
  RemoveChild(folder, b);  // dropped, so deleted: the leak checker watches this
  EXPECT_EQ(OrderOf(folder), (Order{first, afterA}));
}

TEST(ItemTree, SortByTitleIsOrdinalAndKeepsEqualTitlesInOrder) {
  CFolderItem folder;
  CRssSiteItem* b1 = AddSite(folder, u"b");
  CRssSiteItem* upper = AddSite(folder, u"A");
  CRssSiteItem* b2 = AddSite(folder, u"b");
  CRssSiteItem* lower = AddSite(folder, u"a");
  CRssSiteItem* b3 = AddSite(folder, u"b");
  SortChildren(folder, false, true);
  EXPECT_EQ(OrderOf(folder), (Order{upper, lower, b1, b2, b3}));
  SortChildren(folder, false, false);
  EXPECT_EQ(OrderOf(folder), (Order{b1, b2, b3, lower, upper}));
}

TEST(ItemTree, SortByUpdateTimeComparesOnlySitePairs) {
  CFolderItem folder;
  CRssSiteItem* older = AddSite(folder, u"x", 100);
  CRssSiteItem* newer = AddSite(folder, u"x", 200);
  CRssSiteItem* same = AddSite(folder, u"x", 100);
  SortChildren(folder, true, true);
  EXPECT_EQ(OrderOf(folder), (Order{newer, older, same}));
  SortChildren(folder, true, false);
  EXPECT_EQ(OrderOf(folder), (Order{older, same, newer}));

  auto* notSite = InsertChildAfter(folder, std::make_unique<CFolderItem>(), nullptr);
  notSite->updateTime = 999;
  SortChildren(folder, true, true);
  EXPECT_EQ(OrderOf(folder), (Order{notSite, newer, older, same}));
}

TEST(ItemTree, FolderFlagFollowsItsSites) {
  CFolderItem folder;
  CRssSiteItem* a = AddSite(folder, u"a");
  CRssSiteItem* b = AddSite(folder, u"b");
  AddSite(folder, u"c");
  SetSiteNewFlag(*b, true, true);
  EXPECT_EQ(folder.newFlag, 1);
  EXPECT_EQ(CountChildren(folder).all, 3);
  EXPECT_EQ(CountChildren(folder).fresh, 1);
  SetFolderNewFlag(folder, false, false);  // b still has news
  EXPECT_EQ(folder.newFlag, 1);

  SetSiteNewFlag(*a, true, true);
  SetSiteNewFlag(*b, false, false);  // not asked to propagate
  SetSiteNewFlag(*a, false, true);
  EXPECT_EQ(folder.newFlag, 0);

  SetSiteNewFlag(*a, true, true);
  SetFolderNewFlag(folder, false, true);
  EXPECT_EQ(folder.newFlag, 0);
  EXPECT_EQ(a->newFlag, 0);
}

TEST(ItemTree, CheckResultFlagKeepsUnreadNews) {
  CFolderItem folder;
  CRssSiteItem* site = AddSite(folder, u"s");
  site->articles = std::make_unique<CRssItemArray>(u"u", u"t", u"l", u"d");
  site->articles->Append(Article(0));
  ApplyCheckResultFlag(*site);
  EXPECT_EQ(site->newFlag, 0);

  site->newFlag = 5;  // unread news from an earlier check
  ApplyCheckResultFlag(*site);
  EXPECT_EQ(site->newFlag, 1);
  EXPECT_EQ(folder.newFlag, 1);

  site->newFlag = 0;
  site->articles->Append(Article(1));
  site->articles->Append(Article(3));
  EXPECT_EQ(NewArticleCount(*site), 2);
  ApplyCheckResultFlag(*site);
  EXPECT_EQ(site->newFlag, 1);
}

TEST(ItemTree, ArticleArrayOwnsAndCopiesItsArticles) {
  CRssItemArray array(u"u", u"t", u"l", u"d");
  CRssItem* second = array.Append(Article(0));
  CRssItem* first = array.Insert(0, Article(1));
  CRssItem* last = array.Insert(99, Article(1));
  EXPECT_EQ(array.Items()[1].get(), second);
  EXPECT_EQ(array.Take(3), nullptr);
  EXPECT_EQ(array.Take(2).get(), last);

  auto copy = array.Clone();
  first->MarkNotNew();
  EXPECT_EQ(first->content, u"");
  ASSERT_EQ(copy->Size(), 2u);
  EXPECT_EQ(copy->Items()[0]->content, u"<p>body</p>");
  EXPECT_EQ(copy->FeedDate(), u"d");
}
