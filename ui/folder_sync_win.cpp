// Folders that follow an OPML list, and the tree control's side of adding and removing sites.
#include "ui/child_view_win.h"

#include "store/folder_sync.h"

ItemId CChildView::IdOfItem(const CItemBase* item) const { return item ? ids_.IdOfItem(item) : 0; }

ItemId CChildView::ParentId(ItemId id) const {
  const CItemBase* item = ItemFromId(id);
  return item ? IdOfItem(item->Parent()) : 0;
}

ItemId CChildView::AddSiteNode(CItemBase& site) {
  if (CFolderItem* folder = site.Parent()) AddMissingNodes(*folder);
  return IdOfItem(&site);
}

// One walk of the folder in model order: each site without a node gets one after its previous
// sibling's, so a list of thousands costs no search per site.
void CChildView::AddMissingNodes(CFolderItem& folder) {
  const ItemId folderId = IdOfItem(&folder);
  if (!folderId) return;
  const TreeRedrawPause pause(*this);
  HTREEITEM folderNode = NodeFromId(folderId);
  HTREEITEM previous = TVI_FIRST;
  for (const auto& child : folder.Children()) {
    ItemId id = IdOfItem(child.get());
    if (!id) {
      id = InsertNode(*child, folderNode, previous);
      if (!id) continue;
      subscriptions_.Register(UniqueKey(*child), id, 0);
    }
    previous = NodeFromId(id);
  }
  RefreshItemImage(folderId);  // a new site may bring the folder its news
}

// The tree's deletion notice forgets the id and the subscription entry.
void CChildView::RemoveSiteNode(ItemId id) {
  if (!ItemFromId(id)) return;
  ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(NodeFromId(id)));
}

// A site leaving the list takes its own running check with it; the checks of every other site
// go on. A queued check of a removed site finds its id naming nothing and is dropped.
bool CChildView::SyncFolder(ItemId folderId, const std::vector<OpmlOutline>& items, bool force, bool manual) {
  CItemBase* item = ItemFromId(folderId);
  if (!item || item->kind != CItemBase::kKindFolder) return false;
  auto& folder = static_cast<CFolderItem&>(*item);
  const auto sites = FlattenOpmlSites(items);
  const auto gone = SitesWithoutCounterpart(folder, sites);
  const TreeRedrawPause pause(*this);
  for (const CItemBase* site : gone) {
    const ItemId id = IdOfItem(site);
    CancelCheck(id);
    RemoveSiteNode(id);
  }
  EraseChildren(folder, gone);
  const auto added = AddMissingSites(folder, sites);
  if (!added.empty()) AddMissingNodes(folder);
  // The folder's news follows what is left; its picture and the tray follow the flag.
  if (!gone.empty()) SetItemNewFlag(0, folderId, false);
  CheckItem(folderId, force, true, manual);
  return !gone.empty() || !added.empty();
}
