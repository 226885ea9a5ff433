#include "check/site_registration.h"

#include "check/article_merge.h"

bool IsRegisteredUrl(const FolderList& folders, TextView url) {
  for (const auto& folder : folders)
    for (const auto& child : folder->Children())
      if (child->kind == CItemBase::kKindSite && EqualsIgnoreCaseAscii(child->src, url)) return true;
  return false;
}

Text RegisteredSrc(const SiteRegistration& registration) {
  return registration.redirectTarget.empty() ? registration.enteredUrl : registration.redirectTarget;
}

std::unique_ptr<CRssSiteItem> MakeRegisteredSite(const SiteRegistration& registration,
                                                 std::unique_ptr<CRssItemArray> articles,
                                                 const CFolderItem& folder) {
  auto site = std::make_unique<CRssSiteItem>();
  site->src = RegisteredSrc(registration);
  site->orgSrc = registration.enteredUrl;
  site->user = registration.user;
  site->pass = registration.protectedPass;
  site->lastModified = registration.lastModified;
  site->etag = registration.etag;
  site->updateTime = registration.now;
  site->compareDate = !registration.auctionHostFragment.empty() &&
                              site->src.find(registration.auctionHostFragment) != Text::npos
                          ? 0
                          : 1;
  if (articles) {
    site->title = articles->FeedTitle();
    site->link = articles->FeedLink();
    for (const auto& article : articles->Items())
      article->newFlag = ApplyKeywordFilter(1, *article, folder);
    site->articles = std::move(articles);
  }
  if (site->title.empty()) site->title = site->src;
  site->newFlag = 1;
  return site;
}
