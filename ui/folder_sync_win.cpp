// Folders that follow an OPML list, and the tree control's side of adding and removing sites.
#include "ui/child_view_win.h"

#include "store/folder_sync.h"

ItemId CChildView::IdOfItem(const CItemBase* item) const { return item ? ids_.IdOfItem(item) : 0; }

ItemId CChildView::ParentId(ItemId id) const {
  const CItemBase* item = ItemFromId(id);
  return item ? IdOfItem(item->Parent()) : 0;
}

ItemId CChildView::AddSiteNode(CItemBase& site) {
  CFolderItem* folder = site.Parent();
  const ItemId folderId = IdOfItem(folder);
  if (!folderId) return 0;
  const CItemBase* previous = nullptr;
  for (const auto& child : folder->Children()) {
    if (child.get() == &site) break;
    previous = child.get();
  }
  const ItemId previousId = IdOfItem(previous);
  const ItemId id = InsertNode(site, NodeFromId(folderId), previousId ? NodeFromId(previousId) : TVI_FIRST);
  if (id) {
    subscriptions_.Register(UniqueKey(site), id, 0);
    // The site may be new already: its picture and bold label are set by the refresh alone.
    RefreshItemImage(id);
  }
  return id;
}

// The tree's deletion notice forgets the id and the subscription entry.
void CChildView::RemoveSiteNode(ItemId id) {
  if (!ItemFromId(id)) return;
  ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(NodeFromId(id)));
}

// Sites are deleted only after every running check is stopped: a running check or a queued one
// would otherwise report to an item that no longer exists.
bool CChildView::SyncFolder(ItemId folderId, const std::vector<OpmlOutline>& items, bool force, bool manual) {
  CItemBase* item = ItemFromId(folderId);
  if (!item || item->kind != CItemBase::kKindFolder) return false;
  auto& folder = static_cast<CFolderItem&>(*item);
  const auto sites = FlattenOpmlSites(items);
  const auto gone = SitesWithoutCounterpart(folder, sites);
  if (!gone.empty()) StopChecks();
  for (const CItemBase* site : gone) {
    RemoveSiteNode(IdOfItem(site));
    (void)RemoveChild(folder, site);
  }
  const auto added = AddMissingSites(folder, sites);
  for (CRssSiteItem* site : added) AddSiteNode(*site);
  // The folder's news follows what is left; its picture and the tray follow the flag.
  if (!gone.empty()) SetItemNewFlag(0, folderId, false);
  CheckItem(folderId, force, true, manual);
  return !gone.empty() || !added.empty();
}
