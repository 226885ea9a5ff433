#include "store/folder_sync.h"

namespace {

CItemBase* FindCounterpart(const CFolderItem& folder, const OpmlOutline& site) {
  for (const auto& child : folder.Children())
    if (IsCounterpart(*child, site)) return child.get();
  return nullptr;
}

}  // namespace

bool IsCounterpart(const CItemBase& child, const OpmlOutline& site) {
  return child.kind == CItemBase::kKindSite &&
         (child.src == site.feedUrl || (!child.orgSrc.empty() && child.orgSrc == site.feedUrl));
}

std::vector<const CItemBase*> SitesWithoutCounterpart(const CFolderItem& folder,
                                                      const std::vector<const OpmlOutline*>& sites) {
  std::vector<const CItemBase*> missing;
  for (const auto& child : folder.Children()) {
    bool listed = false;
    for (const OpmlOutline* site : sites) listed = listed || IsCounterpart(*child, *site);
    if (!listed) missing.push_back(child.get());
  }
  return missing;
}

std::vector<CRssSiteItem*> AddMissingSites(CFolderItem& folder,
                                           const std::vector<const OpmlOutline*>& sites) {
  std::vector<CRssSiteItem*> added;
  const CItemBase* previous = nullptr;
  for (const OpmlOutline* site : sites) {
    if (CItemBase* present = FindCounterpart(folder, *site)) {
      previous = present;
      continue;
    }
    CItemBase* inserted = InsertChildAfter(folder, MakeSiteFromOutline(*site), previous);
    added.push_back(static_cast<CRssSiteItem*>(inserted));
    previous = inserted;
  }
  return added;
}
