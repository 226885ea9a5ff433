// What one parsed download does to a site besides its articles: counters, times, link, title.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "store/item_tree.h"

struct MergeOptions {
  std::size_t leftItem = 5;
  bool updateTitle = false;  // the site takes the feed's title
  int64_t now = 0;           // seconds since 1970-01-01 UTC
};

struct MergeOutcome {
  bool updated = false;       // new articles arrived
  bool titleChanged = false;  // the tree label must follow
};

MergeOutcome MergeResult(CRssSiteItem& site, std::unique_ptr<CRssItemArray> articles,
                         TextView lastModified, TextView etag, const MergeOptions& options);
