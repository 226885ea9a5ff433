// The statistics text of a site's or a synchronised folder's property sheet.
#pragma once

#include "store/item_tree.h"
#include "util/text.h"

// CR LF line breaks. `systemTime` is the item's update time as the user's locale writes it,
// empty when it was never updated; the RSS line (the feed's own date) is for sites only.
Text StatisticsText(const CItemBase& item, TextView systemTime, bool withFeedLine);
