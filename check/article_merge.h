// Which articles of a fresh check are new, with the folder's keyword filter.
#pragma once

#include <cstddef>
#include <memory>

#include "store/item_tree.h"
#include "store/rss_item.h"

// The flag an article proposed with `proposedFlag` ends with under the folder's filter; an
// article that fails a filter that keeps it new loses its content instead.
int32_t ApplyKeywordFilter(int32_t proposedFlag, CRssItem& article, const CFolderItem& folder);

// Merges the fresh article list of `site` into it. True when the site has something new; the
// fresh list, followed by up to `leftItem` old articles that dropped out of the feed, then
// becomes the site's list. On false the site keeps its old list.
bool MergeArticles(std::unique_ptr<CRssItemArray> fresh, CRssSiteItem& site,
                   const CFolderItem* folder, std::size_t leftItem);
