// The site tree's pictures and news flags, and the structural changes: delete, move, sort,
// reset. Nodes are deleted before their items, so that the node-deletion notice still finds
// the item and takes its id out of the id table and the subscription map.
#include "ui/child_view_win.h"

#include <algorithm>
#include <unordered_map>

#include "app/resource.h"
#include "shared/names.h"
#include "store/mark_read.h"
#include "ui/tree_rules.h"
#include "util/dpi_win.h"
#include "util/wide_win.h"

namespace {

constexpr ArtworkStrips kImageStrips{IDB_TREE_16, IDB_TREE_20, IDB_TREE_24, IDB_TREE_32};

using FolderRanks = std::unordered_map<const CItemBase*, LPARAM>;

// The root's children in the order of their folders' new places.
int CALLBACK CompareFolderRanks(LPARAM a, LPARAM b, LPARAM ranks) noexcept {
  const auto& byItem = *reinterpret_cast<const FolderRanks*>(ranks);
  auto rankOf = [&byItem](LPARAM item) {
    const auto found = byItem.find(reinterpret_cast<const CItemBase*>(item));
    return found == byItem.end() ? LPARAM{0} : found->second;
  };
  const LPARAM left = rankOf(a);
  const LPARAM right = rankOf(b);
  return left < right ? -1 : left > right ? 1 : 0;
}

Text WithName(TextView format, const Text& name) {
  Text text(format);
  ReplaceAll(text, u"%s", name);
  return text;
}

}  // namespace

// The nodes keep their picture indices; the control lays its rows out again for the new size.
// The old list goes only once the control has let go of it.
void CChildView::CreateImageList(UINT dpi) {
  unique_himagelist images = LoadArtwork(instance_, kImageStrips, dpi, kTreeImageCount);
  if (!images) return;
  TreeView_SetImageList(tree_, images.get(), TVSIL_NORMAL);
  images_ = std::move(images);
}

// The id table remembers the picture, so a refresh never asks the control for it.
void CChildView::SetNodeImage(ItemId id, int image) {
  TVITEMW item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = NodeFromId(id);
  item.iImage = item.iSelectedImage = image;
  if (TreeView_SetItem(tree_, &item)) ids_.SetImage(id, image);
}

void CChildView::SetNodeBold(ItemId id, bool bold) {
  if (ids_.BoldOf(id) == (bold ? 1 : 0)) return;
  TVITEMW item{};
  item.mask = TVIF_STATE;
  item.hItem = NodeFromId(id);
  item.stateMask = TVIS_BOLD;
  item.state = bold ? TVIS_BOLD : 0;
  if (TreeView_SetItem(tree_, &item)) ids_.SetBold(id, bold);
}

// Asks the running checks (a handful at a time), never the folder's children.
bool CChildView::FolderIsChecking(ItemId folder) const {
  const CItemBase* folderItem = ItemFromId(folder);
  const auto& running = checks_.Running();
  return folderItem && std::any_of(running.begin(), running.end(), [this, folder, folderItem](const auto& check) {
           const CItemBase* checked = ItemFromId(check->item);
           return check->item == folder || (checked && checked->Parent() == folderItem);
         });
}

void CChildView::RefreshItemImage(ItemId id) {
  HTREEITEM node = NodeFromId(id);
  const CItemBase* item = ItemFromId(id);
  if (!node || !item) return;
  const int oldImage = ids_.ImageOf(id);
  if (item->kind == CItemBase::kKindSite) {
    const SiteState state{checks_.Find(id) != nullptr, item->IsCheckable(), item->HasError(), item->newFlag != 0};
    const int image = SiteImage(state);
    const ImageChange change = SiteImageChange(oldImage, image, state.isNew);
    const ItemId parent = ParentId(id);
    if (change.setImage) SetNodeImage(id, image);
    if (change.bold) SetNodeBold(id, *change.bold);
    if (change.parentBold && parent) SetNodeBold(parent, true);
    if (change.refreshParent && parent) RefreshItemImage(parent);
    return;
  }
  const FolderState state{SourceKind(*item) == 2, FolderIsChecking(id), item->newFlag != 0};
  const int image = FolderImage(state);
  const ImageChange change = FolderImageChange(oldImage, image);
  if (change.setImage) SetNodeImage(id, image);
  if (change.bold) SetNodeBold(id, *change.bold);
  if (change.notifyMainWindow) PostCheckingState(-1);
}

void CChildView::SetItemNewFlag(int32_t value, ItemId id, bool propagate) {
  CItemBase* item = ItemFromId(id);
  if (!item) return;
  if (item->kind == CItemBase::kKindSite) {
    SetSiteNewFlag(static_cast<CRssSiteItem&>(*item), value != 0, false);
    RefreshItemImage(id);
    if (const ItemId parent = ParentId(id); propagate && parent) SetItemNewFlag(value, parent, false);
    return;
  }
  auto& folder = static_cast<CFolderItem&>(*item);
  if (value == 0 && propagate)
    for (ItemId child : ChildIds(id)) SetItemNewFlag(0, child, false);
  SetFolderNewFlag(folder, value != 0, false);
  RefreshItemImage(id);
}

void CChildView::ClearNewFlags(ItemId id) {
  if (CItemBase* item = ItemFromId(id)) ClearArticleNewFlags(*item);
}

bool CChildView::ItemHasNews(ItemId id) const {
  const CItemBase* item = ItemFromId(id);
  if (!item) return false;
  if (item->kind == CItemBase::kKindSite) return item->newFlag != 0;
  const auto& children = static_cast<const CFolderItem*>(item)->Children();
  return std::any_of(children.begin(), children.end(), [](const auto& child) { return child->newFlag != 0; });
}

// Lists a site's node under its subscription, so that a download of the same feed reaches it.
void CChildView::RegisterSiteNode(ItemId id) {
  if (const CItemBase* item = ItemFromId(id); item && item->kind == CItemBase::kKindSite)
    (void)subscriptions_.Register(UniqueKey(*item), id, 0);
}

// Detached without asking: the checks stop, the node goes (and with it the site's id), and
// the folder looks at its remaining sites.
std::unique_ptr<CItemBase> CChildView::DetachSite(ItemId id) {
  CItemBase* item = ItemFromId(id);
  const ItemId folderId = ParentId(id);
  auto* folder = static_cast<CFolderItem*>(ItemFromId(folderId));
  if (!item || !folder || item->kind != CItemBase::kKindSite) return nullptr;
  StopChecks();
  TreeView_DeleteItem(tree_, NodeFromId(id));
  auto detached = RemoveChild(*folder, item);
  SetItemNewFlag(0, folderId, false);
  return detached;
}

void CChildView::DeleteItem(ItemId id, bool confirm) {
  CItemBase* item = ItemFromId(id);
  if (!item) return;
  HWND owner = ::GetParent(hwnd());
  if (item->kind == CItemBase::kKindSite) {
    if (confirm && ::MessageBoxW(owner, W(WithName(u"「%s」を削除しますか?", item->title)),
                                 W(kApplicationTitle), MB_YESNO) != IDYES)
      return;
    DetachSite(id);  // dropped here: destroyed
    return;
  }
  if (confirm &&
      ::MessageBoxW(owner,
                    W(WithName(u"「%s」を削除します。配下にあるデータも全て削除されますが、よろしいですか?", item->title)),
                    W(kApplicationTitle), MB_YESNO | MB_DEFBUTTON2) != IDYES)
    return;
  StopChecks();
  TreeView_DeleteItem(tree_, NodeFromId(id));  // its sites' nodes go with it
  folders_.erase(std::remove_if(folders_.begin(), folders_.end(),
                                [item](const auto& folder) { return folder.get() == item; }),
                 folders_.end());
  PostCheckingState(-1);
}

bool CChildView::MoveSite(ItemId siteId, ItemId targetId) {
  CItemBase* site = ItemFromId(siteId);
  CItemBase* target = ItemFromId(targetId);
  if (!site || !target || siteId == targetId || site->kind != CItemBase::kKindSite) return false;
  const bool intoFolder = target->kind == CItemBase::kKindFolder;
  HTREEITEM targetNode = NodeFromId(targetId);
  const ItemId folderId = intoFolder ? targetId : ParentId(targetId);
  HTREEITEM folderNode = NodeFromId(folderId);
  auto* folder = static_cast<CFolderItem*>(ItemFromId(folderId));
  if (!folder) return false;
  const int32_t flag = site->newFlag;
  auto detached = DetachSite(siteId);
  if (!detached) return false;
  CItemBase* moved = InsertChildAfter(*folder, std::move(detached), intoFolder ? nullptr : target);
  const ItemId movedId = InsertNode(*moved, folderNode, intoFolder ? TVI_FIRST : targetNode);
  RegisterSiteNode(movedId);
  TreeView_SelectItem(tree_, NodeFromId(movedId));
  SetItemNewFlag(flag, movedId, true);
  return true;
}

// The folder nodes are reordered in place, so the folders and their sites keep their ids.
bool CChildView::MoveFolder(ItemId folderId, ItemId targetId, bool lowerHalf) {
  CItemBase* target = ItemFromId(targetId);
  CItemBase* moving = ItemFromId(folderId);
  if (!target || !moving || moving->kind != CItemBase::kKindFolder) return false;
  if (target->kind == CItemBase::kKindSite) target = target->Parent();
  auto indexOf = [this](const CItemBase* item) {
    return static_cast<size_t>(std::find_if(folders_.begin(), folders_.end(),
                                            [item](const auto& folder) { return folder.get() == item; }) -
                               folders_.begin());
  };
  const auto order = MoveFolderOrder(folders_.size(), indexOf(moving), indexOf(target), lowerHalf);
  if (order.empty()) return false;
  StopChecks();
  FolderList reordered;
  FolderRanks rank;
  for (size_t place = 0; place < order.size(); ++place) {
    rank[folders_[order[place]].get()] = static_cast<LPARAM>(place);
    reordered.push_back(std::move(folders_[order[place]]));
  }
  folders_ = std::move(reordered);
  TVSORTCB sort{};
  sort.hParent = TVI_ROOT;
  sort.lpfnCompare = &CompareFolderRanks;
  sort.lParam = reinterpret_cast<LPARAM>(&rank);
  TreeView_SortChildrenCB(tree_, &sort, FALSE);
  TreeView_SelectItem(tree_, NodeFromId(folderId));
  return true;
}

// The folder's site nodes are made again in the new order; their old ids name nothing after.
void CChildView::SortFolder(ItemId id, bool byUpdateTime, bool normalOrder) {
  CItemBase* item = ItemFromId(id);
  if (!item) return;
  if (item->kind == CItemBase::kKindSite) id = ParentId(id);
  auto* folder = static_cast<CFolderItem*>(ItemFromId(id));
  if (!folder || folder->kind != CItemBase::kKindFolder) return;
  StopChecks();
  SortChildren(*folder, byUpdateTime, normalOrder);
  HTREEITEM folderNode = NodeFromId(id);
  const bool expanded = (TreeView_GetItemState(tree_, folderNode, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  const TreeRedrawPause pause(*this);
  for (ItemId child : ChildIds(id)) TreeView_DeleteItem(tree_, NodeFromId(child));
  for (const auto& child : folder->Children()) {
    const ItemId childId = InsertNode(*child, folderNode);
    RegisterSiteNode(childId);
    RefreshItemImage(childId);
  }
  if (expanded) TreeView_Expand(tree_, folderNode, TVE_EXPAND);
}

// An empty list and no last-modified text: the next check asks unconditionally and every
// article of the feed comes back.
void CChildView::ResetArticles(ItemId id) {
  CItemBase* item = ItemFromId(id);
  if (!item || item->kind != CItemBase::kKindSite) return;
  auto& site = static_cast<CRssSiteItem&>(*item);
  if (site.articles) site.articles = site.articles->CloneHeader();
  site.checkCount = site.updateCount = site.errorCount = 0;
  site.updateTime = 0;
  site.lastModified.clear();
  site.etag.clear();
  SetItemNewFlag(0, id, true);
  CheckNow(id);
}

void CChildView::ResubscribeSite(ItemId id, TextView oldKey) {
  subscriptions_.Unregister(oldKey, id);
  RegisterSiteNode(id);
}

// Text dropped on the tree, after the drop has returned to the program it came from: the
// add-site flow asks with dialogs, which must not hold that program in its drag.
LRESULT CChildView::OnTextDropped(WPARAM heapText, LPARAM target) {
  const auto text = TakeHeapText(heapText);
  if (!text) return 0;
  BringToFront(::GetParent(hwnd()));
  StartAddSiteFlow(TextView(text.get()), static_cast<ItemId>(target));
  return 1;
}

void CChildView::StartAddSiteFlow(TextView text, ItemId node) { AddFromUrl(text, node, false); }
