#include "store/folder_sync.h"

#include <unordered_map>
#include <unordered_set>

bool IsCounterpart(const CItemBase& child, const OpmlOutline& site) {
  return child.kind == CItemBase::kKindSite &&
         (child.src == site.feedUrl || (!child.orgSrc.empty() && child.orgSrc == site.feedUrl));
}

// Lists of thousands of sites are synchronised on the window thread: every step below is a
// lookup by address, never a search of the folder per listed site.
std::vector<const CItemBase*> SitesWithoutCounterpart(const CFolderItem& folder,
                                                      const std::vector<const OpmlOutline*>& sites) {
  std::unordered_set<TextView> listed;
  listed.reserve(sites.size());
  for (const OpmlOutline* site : sites) listed.insert(site->feedUrl);
  std::vector<const CItemBase*> missing;
  for (const auto& child : folder.Children()) {
    const bool isListed = child->kind == CItemBase::kKindSite &&
                          (listed.count(child->src) != 0 || (!child->orgSrc.empty() && listed.count(child->orgSrc) != 0));
    if (!isListed) missing.push_back(child.get());
  }
  return missing;
}

std::vector<CRssSiteItem*> AddMissingSites(CFolderItem& folder,
                                           const std::vector<const OpmlOutline*>& sites) {
  // The first child in folder order whose src or registered address is the key, as a search
  // of the folder would find it.
  std::unordered_map<TextView, const CItemBase*> counterparts;
  counterparts.reserve(folder.Children().size() * 2 + sites.size());
  for (const auto& child : folder.Children()) {
    if (child->kind != CItemBase::kKindSite) continue;
    counterparts.emplace(child->src, child.get());
    if (!child->orgSrc.empty()) counterparts.emplace(child->orgSrc, child.get());
  }
  std::vector<ChildInsertion> insertions;
  const CItemBase* previous = nullptr;
  for (const OpmlOutline* site : sites) {
    if (auto present = counterparts.find(site->feedUrl); present != counterparts.end()) {
      previous = present->second;
      continue;
    }
    auto made = MakeSiteFromOutline(*site);
    const CItemBase* item = made.get();
    counterparts.emplace(item->src, item);  // a site listed twice is added once
    insertions.push_back({previous, std::move(made)});
    previous = item;
  }
  std::vector<CRssSiteItem*> added;
  for (CItemBase* item : InsertChildrenAfter(folder, std::move(insertions))) added.push_back(static_cast<CRssSiteItem*>(item));
  return added;
}
