// A feed address the user registers: the duplicate test and the new site it becomes.
#pragma once

#include <cstdint>
#include <memory>

#include "store/data_file.h"
#include "store/item_tree.h"
#include "store/rss_item.h"

// True when a site directly inside a top-level folder already has this address (letter case
// ignored).
bool IsRegisteredUrl(const FolderList& folders, TextView url);

struct SiteRegistration {
  Text enteredUrl;      // as typed, kept as the registered address
  Text redirectTarget;  // the first redirect of the fetch; empty when none
  Text user;
  Text protectedPass;   // already protected for the site's final src
  Text lastModified;
  Text etag;
  Text auctionHostFragment;  // sites whose src contains it compare articles without dates
  int64_t now = 0;           // seconds since 1970-01-01 UTC
};

// The site's src: the first redirect target when the fetch was redirected.
Text RegisteredSrc(const SiteRegistration& registration);

// A new site with the feed's title, link and articles, every article proposed as new and passed
// through `folder`'s keyword filter; the site itself is marked new.
std::unique_ptr<CRssSiteItem> MakeRegisteredSite(const SiteRegistration& registration,
                                                 std::unique_ptr<CRssItemArray> articles,
                                                 const CFolderItem& folder);
