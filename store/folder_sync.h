// A folder that follows an OPML list: which of its sites go and which come, decided on the
// plain tree so that the view only has to mirror the outcome in its control.
#pragma once

#include <vector>

#include "store/item_tree.h"
#include "store/opml.h"

// A child stands for a listed site when its feed address, or the address it was registered
// with, is the listed one: a redirect changes src but must not make the site a stranger.
bool IsCounterpart(const CItemBase& child, const OpmlOutline& site);

// Children with no counterpart among `sites`, in folder order; the caller removes them.
std::vector<const CItemBase*> SitesWithoutCounterpart(const CFolderItem& folder,
                                                      const std::vector<const OpmlOutline*>& sites);

// Adds every listed site the folder lacks, each directly after the counterpart of the site
// listed before it (first when none), so the folder follows the list's order. Returns the added
// sites in list order; they keep new flag 0.
std::vector<CRssSiteItem*> AddMissingSites(CFolderItem& folder,
                                           const std::vector<const OpmlOutline*>& sites);
