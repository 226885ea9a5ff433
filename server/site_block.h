// One site's part of an article page: its title line and, unless only titles are wanted, its
// article list.
#pragma once

#include "store/item_id.h"
#include "store/item_tree.h"
#include "util/text.h"

// index and count place the block among its page's blocks for the ▲/▼ links (ids "l<index>");
// whitelist is the body whitelist as configured: "*" allows everything, empty means the default.
Text BuildSiteBlock(const CRssSiteItem& site, bool isNew, ItemId id, int index, int count,
                    TextView whitelist, bool titleOnly);
