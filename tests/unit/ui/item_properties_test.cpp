#include "ui/item_properties.h"

#include <gtest/gtest.h>

#include "ui/item_statistics.h"

namespace {

// Stands in for the platform's protection: the password visibly bound to its src.
Text Protect(TextView password, TextView src) { return password.empty() ? Text() : Text(password) + u"@" + Text(src); }

}  // namespace

TEST(ItemProperties, SiteSourceChangesRebindThePassword) {
  CRssSiteItem site;
  site.src = u"http://old/feed";
  site.user = u"u";
  site.pass = u"pw@http://old/feed";
  site.lastModified = u"Mon, 01 Jan 2024 00:00:00 GMT";
  site.etag = u"\"e\"";
  const SiteForm shown = SiteFormFrom(site, u"pw");

  // Nothing changed: not even the stored form of the password is rewritten.
  EXPECT_FALSE(ApplySourceFields(site, shown.source, shown.source, Protect));
  EXPECT_EQ(site.pass, u"pw@http://old/feed");
  EXPECT_EQ(site.etag, u"\"e\"");

  ItemSourceFields moved = shown.source;
  moved.src = u"http://new/feed";
  EXPECT_TRUE(ApplySourceFields(site, shown.source, moved, Protect));
  EXPECT_EQ(site.src, u"http://new/feed");
  EXPECT_EQ(site.pass, u"pw@http://new/feed");
  EXPECT_EQ(site.lastModified, u"");  // the old address's validators mean nothing to the new one
  EXPECT_EQ(site.etag, u"");

  site.lastModified = u"kept";
  ItemSourceFields anonymous = moved;
  anonymous.user.clear();
  EXPECT_TRUE(ApplySourceFields(site, moved, anonymous, Protect));
  EXPECT_EQ(site.pass, u"");  // no user name, no password
  EXPECT_EQ(site.lastModified, u"kept");
}

TEST(ItemProperties, SiteAndFolderFlags) {
  CRssSiteItem site;
  site.compareDate = 0;
  site.noCheck = 1;
  SiteForm form = SiteFormFrom(site, u"");
  EXPECT_FALSE(form.compareDate);
  EXPECT_TRUE(form.noCheck);
  form.compareDate = true;
  form.noCheck = false;
  ApplySiteFlags(form, site);
  EXPECT_EQ(site.compareDate, 1);
  EXPECT_EQ(site.noCheck, 0);

  CFolderItem folder;
  folder.filterMode = 1 | 4;
  folder.filterFields = 1 | 8;
  FolderForm f = FolderFormFrom(folder, u"");
  EXPECT_FALSE(f.source);  // a plain folder has no OPML page
  EXPECT_EQ(std::make_tuple(f.filterOn, f.anyKeyword, f.include, f.hideFromNews), std::make_tuple(true, 0, 1, 0));
  EXPECT_EQ(std::make_tuple(f.searchTitle, f.searchBody, f.searchLink, f.searchCreator),
            std::make_tuple(false, true, false, true));
  f.anyKeyword = f.hideFromNews = 1;
  f.include = 0;
  f.searchTitle = f.searchLink = true;
  f.searchBody = false;
  f.keywords = u"a \"b c\"";
  ApplyFolderForm(f, folder, 30);
  EXPECT_EQ(folder.filterMode, 1 | 2 | 8);
  EXPECT_EQ(folder.filterFields, 2 | 4 | 8);
  EXPECT_EQ(folder.filterKeywords, u"a \"b c\"");

  folder.src = u"http://lists/a.opml";
  EXPECT_EQ(FolderFormFrom(folder, u"pw").source, (ItemSourceFields{u"http://lists/a.opml", u"", u"pw"}));
}

TEST(ItemProperties, FolderIntervalOnlyWhilePeriodicChecksAreOn) {
  struct Row {
    bool own, periodic;
    int32_t minutes, globalTimer, before, after;
  };
  const Row rows[] = {
      {false, true, 45, 30, 60, -1}, {true, false, 45, 30, 60, 0}, {true, true, 45, 30, -1, 45},
      {true, true, 45, 0, 60, 60},   {false, true, 45, 0, 20, 20},
  };
  for (const auto& row : rows) {
    CFolderItem folder;
    folder.interval = row.before;
    FolderForm f;
    f.ownInterval = row.own;
    f.periodic = row.periodic;
    f.minutes = row.minutes;
    ApplyFolderForm(f, folder, row.globalTimer);
    EXPECT_EQ(folder.interval, row.after) << row.before << " " << row.globalTimer;
  }
  CFolderItem folder;
  folder.interval = 0;
  const FolderForm shown = FolderFormFrom(folder, u"");
  EXPECT_EQ(std::make_tuple(shown.ownInterval, shown.periodic, shown.minutes), std::make_tuple(true, false, 30));
}

TEST(ItemStatistics, CountsSharesDatesAndTheError) {
  CRssSiteItem site;
  site.lastModified = u"Tue, 08 Dec 2026 01:00:00 GMT";
  site.articles = std::make_unique<CRssItemArray>(u"u", u"t", u"l", u"2026-12-08T10:00:00+09:00");
  site.checkCount = 10;
  site.updateCount = 3;
  site.errorCount = 1;
  site.updateTime = 1;
  site.errorCode = 404;
  EXPECT_EQ(StatisticsText(site, u"2026/12/08 10:00:00", true),
            u"■更新日時\r\nHTTP : Tue, 08 Dec 2026 01:00:00 GMT\r\nRSS : 2026-12-08T10:00:00+09:00"
            u"\r\nシステム : 2026/12/08 10:00:00\r\n\r\n■回数\r\n更新チェック : 10回\r\n新着 : 3回 (30.0%)"
            u"\r\nエラー : 1回 (10.0%)\r\n\r\n■エラー\r\n詳細 : " + GetErrorText(404) + u"\r\n");

  CFolderItem never;  // a synchronised folder's page: no RSS line, no time, no shares
  EXPECT_EQ(StatisticsText(never, u"ignored", false),
            u"■更新日時\r\nHTTP : \r\nシステム : \r\n\r\n■回数\r\n更新チェック : 0回\r\n新着 : 0回\r\nエラー : 0回\r\n");
  site.checkCount = 3;
  site.updateCount = 2;
  site.errorCode = 0;
  site.articles.reset();
  const Text text = StatisticsText(site, u"t", true);
  EXPECT_NE(text.find(u"RSS : \r\n"), Text::npos);
  EXPECT_NE(text.find(u"新着 : 2回 (66.7%)"), Text::npos);
  EXPECT_EQ(text.find(u"■エラー"), Text::npos);
}
