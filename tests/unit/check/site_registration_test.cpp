#include "check/site_registration.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CRssItemArray> Feed() {
  auto feed = std::make_unique<CRssItemArray>(u"http://a.example/rss", u"フィード", u"http://a.example/", u"");
  for (const char16_t* title : {u"野球の話", u"天気"}) {
    auto article = std::make_unique<CRssItem>();
    article->title = title;
    article->content = u"本文";
    feed->Append(std::move(article));
  }
  return feed;
}

}  // namespace

TEST(SiteRegistration, NewSiteTakesFeedRedirectAndFolderFilter) {
  struct Case {
    const char* name;
    Text redirect;
    Text auction;
    int32_t filterMode;
    Text src;
    int32_t compareDate;
    std::vector<int32_t> articleFlags;
  };
  const std::vector<Case> cases = {
      {"plain", u"", u"", 0, u"http://a.example/rss", 1, {1, 1}},
      {"redirected", u"http://b.example/rss", u"", 0, u"http://b.example/rss", 1, {1, 1}},
      {"auction host", u"", u"a.example", 0, u"http://a.example/rss", 0, {1, 1}},
      {"filter makes failing articles not new", u"", u"", 1 | 8, u"http://a.example/rss", 1, {1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CFolderItem folder;
    folder.filterMode = c.filterMode;
    folder.filterKeywords = u"野球";
    SiteRegistration registration;
    registration.enteredUrl = u"http://a.example/rss";
    registration.redirectTarget = c.redirect;
    registration.user = u"u";
    registration.protectedPass = u"protected";
    registration.lastModified = u"Sat, 07 Sep 2002 00:00:01 GMT";
    registration.auctionHostFragment = c.auction;
    registration.now = 1700000000;
    const auto site = MakeRegisteredSite(registration, Feed(), folder);
    EXPECT_EQ(site->src, c.src);
    EXPECT_EQ(site->orgSrc, u"http://a.example/rss");
    EXPECT_EQ(site->title, u"フィード");
    EXPECT_EQ(site->link, u"http://a.example/");
    EXPECT_EQ(site->user, u"u");
    EXPECT_EQ(site->pass, u"protected");
    EXPECT_EQ(site->lastModified, registration.lastModified);
    EXPECT_EQ(site->updateTime, 1700000000);
    EXPECT_EQ(site->compareDate, c.compareDate);
    EXPECT_EQ(site->newFlag, 1);
    std::vector<int32_t> flags;
    for (const auto& article : site->articles->Items()) flags.push_back(article->newFlag);
    EXPECT_EQ(flags, c.articleFlags);
  }
}

TEST(SiteRegistration, DuplicatesAreFoundIgnoringLetterCase) {
  FolderList folders;
  folders.push_back(std::make_unique<CFolderItem>());
  auto site = std::make_unique<CRssSiteItem>();
  site->src = u"http://A.example/RSS";
  InsertChildAfter(*folders[0], std::move(site), nullptr);
  EXPECT_TRUE(IsRegisteredUrl(folders, u"http://a.example/rss"));
  EXPECT_FALSE(IsRegisteredUrl(folders, u"http://a.example/rss2"));
  EXPECT_FALSE(IsRegisteredUrl({}, u"http://a.example/rss"));
}
