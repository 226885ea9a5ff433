#include "ui/ticker_walk.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Folders of sites of articles; a title starting with '*' is a new article, a site name with
// '*' has news. Folder flags follow their sites.
using SiteArticles = std::pair<Text, std::vector<Text>>;
using FolderSites = std::pair<Text, std::vector<SiteArticles>>;

FolderList MakeTree(const std::vector<FolderSites>& layout) {
  FolderList folders;
  for (const auto& [folderName, sites] : layout) {
    auto folder = std::make_unique<CFolderItem>();
    folder->title = folderName;
    const CItemBase* last = nullptr;
    for (const auto& [siteName, titles] : sites) {
      auto site = std::make_unique<CRssSiteItem>();
      site->title = siteName.substr(siteName[0] == u'*' ? 1 : 0);
      site->newFlag = siteName[0] == u'*' ? 1 : 0;
      folder->newFlag |= site->newFlag;
      if (!titles.empty() || siteName != u"*none") {
        site->articles = std::make_unique<CRssItemArray>(u"", u"", u"", u"");
        for (const Text& title : titles) {
          auto article = std::make_unique<CRssItem>();
          article->newFlag = title[0] == u'*' ? 1 : 0;
          article->title = title.substr(article->newFlag);
          article->link = u"http://example.jp/" + article->title;
          site->articles->Append(std::move(article));
        }
      }
      if (siteName == u"*none") site->articles.reset();
      last = InsertChildAfter(*folder, std::move(site), last);
    }
    folders.push_back(std::move(folder));
  }
  return folders;
}

// Titles of `steps` walk steps; an empty text where a pass found nothing.
std::vector<Text> Walk(const FolderList& folders, TickerCursor& cursor, int steps) {
  std::vector<Text> titles;
  for (int i = 0; i < steps; ++i) {
    const auto found = NextTickerArticle(folders, cursor);
    titles.push_back(found ? found->article->title : Text());
  }
  return titles;
}

}  // namespace

TEST(TickerWalk, VisitsNewArticlesInTreeOrderAndStartsOver) {
  const FolderList folders = MakeTree({
      {u"quiet", {{u"read", {u"r1"}}}},  // no news: skipped, though its article were new
      {u"news",
       {{u"*a", {u"*a1", u"a2", u"*a3"}},
        {u"b", {u"*b1"}},      // the site has no news: its new article is not shown
        {u"*none", {}},        // no article list
        {u"*c", {u"*c1"}}}},
      {u"more", {{u"*d", {u"d1", u"*d2"}}}},
  });
  EXPECT_TRUE(AnyTopFolderHasNews(folders));
  TickerCursor cursor;
  EXPECT_EQ(Walk(folders, cursor, 6), (std::vector<Text>{u"a1", u"a3", u"c1", u"d2", u"a1", u"a3"}));

  // A cursor left past the end by a shrunken tree starts from the top.
  cursor = {7, 3, 9};
  EXPECT_EQ(Walk(folders, cursor, 1), std::vector<Text>{u"a1"});
  cursor = {1, 0, 2};  // within a site: its later articles first
  EXPECT_EQ(Walk(folders, cursor, 2), (std::vector<Text>{u"a3", u"c1"}));

  // News flags without new articles: a pass finds nothing and leaves the cursor.
  const FolderList stale = MakeTree({{u"f", {{u"*s", {u"old"}}}}});
  cursor = {0, 0, 1};
  EXPECT_EQ(Walk(stale, cursor, 1), std::vector<Text>{Text()});
  EXPECT_EQ(cursor.article, 1u);
  EXPECT_FALSE(AnyTopFolderHasNews(MakeTree({{u"f", {{u"s", {u"*x"}}}}})));
}

TEST(TickerWalk, EntriesFillTheHistoryAndItsMenu) {
  FolderList folders = MakeTree({
      {u"国内 & 海外", {{u"*サイト&1", {u"*一", u"*二", u"*三", u"*四", u"*五", u"*六"}}}},
      {u"技術", {{u"*site2", {u"*seven", u"*eight", u"*nine", u"*ten", u"*eleven"}}}},
      {u"empty", {}},
  });
  std::map<const CItemBase*, ItemId> ids;
  auto idOf = [&](const CItemBase& item) { return ids.emplace(&item, ItemId(100 + ids.size())).first->second; };
  TickerCursor cursor;
  TickerHistory history;
  TickerEntry entry;
  for (int i = 0; i < 11; ++i) entry = NextTickerEntry(folders, cursor, history, 4474, idOf);
  EXPECT_TRUE(entry.news && entry.found);
  EXPECT_EQ(entry.siteName, u"site2");
  EXPECT_EQ(entry.title, u"eleven");
  EXPECT_EQ(entry.link, u"http://example.jp/eleven");
  EXPECT_EQ(entry.folderUrl, u"http://127.0.0.1:4474/new?" + UnsignedDecimalText(entry.folder));
  EXPECT_EQ(entry.siteUrl, u"http://127.0.0.1:4474/new?" + UnsignedDecimalText(ids.at(folders[1]->Children()[0].get())));

  // Eleven in a row leave ten, oldest first; the menu shows the newest and nine older ones.
  ASSERT_EQ(history.Entries().size(), 10u);
  EXPECT_EQ(history.Entries().front().title, u"二");
  const std::vector<TopFolderState> states{{u"国内 & 海外", 6, false}, {u"技術", 5, false}, {u"empty", 0, false}};
  const auto menu = BuildTickerMenu(entry, history, states, 1, 32797);
  using Kind = TickerMenuItem::Kind;
  ASSERT_EQ(menu.size(), 9u);
  EXPECT_EQ(menu[0].text, u"site2");
  EXPECT_EQ(menu[0].command, kTickerOpenSite);
  EXPECT_TRUE(menu[0].isDefault);
  EXPECT_EQ(menu[1].command, kTickerHistoryFirst + 9);
  ASSERT_EQ(menu[2].kind, Kind::kSubmenu);
  ASSERT_EQ(menu[2].children.size(), 9u);
  EXPECT_EQ(menu[2].children[0].text, u"&1 ten");
  EXPECT_EQ(menu[2].children[0].command, kTickerHistoryFirst + 8);
  EXPECT_EQ(menu[2].children[8].text, u"&9 二");
  EXPECT_EQ(menu[2].children[8].command, kTickerHistoryFirst);
  EXPECT_EQ(menu[3].kind, Kind::kSeparator);
  EXPECT_EQ(menu[4].text, u"【国内 && 海外】\t6件");
  EXPECT_EQ(menu[4].command, kTickerFolderFirst);
  EXPECT_FALSE(menu[4].checked);
  EXPECT_TRUE(menu[5].checked);
  EXPECT_EQ(menu[6].text, u"【empty】\t-");
  EXPECT_EQ(menu[7].kind, Kind::kSeparator);
  EXPECT_EQ(menu[8].text, u"閉じる(&X)");
  EXPECT_EQ(menu[8].command, 32797u);

  // Everything read: the entry says there is no news, and the history stays as it was.
  for (auto& folder : folders) SetFolderNewFlag(*folder, false, true);
  entry = NextTickerEntry(folders, cursor, history, 4474, idOf);
  EXPECT_FALSE(entry.news || entry.found);
  EXPECT_EQ(history.Entries().size(), 10u);
}

TEST(TickerWalk, MenuWithoutCurrentArticleOpensNothingInItsPlace) {
  TickerHistory history;
  TickerEntry entry;
  entry.news = true;
  entry.title = kTickerNothingFound;
  using Kind = TickerMenuItem::Kind;
  // Nothing shown yet, no folders: the title greyed, a separator and the close entry.
  auto menu = BuildTickerMenu(entry, history, {}, std::nullopt, 32797);
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].text, kTickerNothingFound);
  EXPECT_EQ(menu[0].command, 0u);
  EXPECT_EQ(menu[1].kind, Kind::kSeparator);
  // One article shown before: it is an older entry now, not the current one.
  history.Add(u"前の記事", u"http://example.jp/1");
  menu = BuildTickerMenu(entry, history, {}, std::nullopt, 32797);
  ASSERT_EQ(menu[1].kind, Kind::kSubmenu);
  ASSERT_EQ(menu[1].children.size(), 1u);
  EXPECT_EQ(menu[1].children[0].command, kTickerHistoryFirst);
}

TEST(TickerWalk, MenuLabelsOfFeedTextAreTamed) {
  EXPECT_EQ(MenuLabel(u"A&B\tC\r\nD"), u"A&&B C  D");
  const Text longTitle(200, u'長');
  EXPECT_EQ(MenuLabel(longTitle), Text(kMenuLabelChars, u'長') + u"…");
  // A pair cut in half would show as a broken character.
  Text paired(kMenuLabelChars - 1, u'x');
  paired += u"\U0001F600";
  EXPECT_EQ(MenuLabel(paired), Text(kMenuLabelChars - 1, u'x') + u"…");
}
