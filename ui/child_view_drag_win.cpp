// Dragging on the site tree: starting a drag on a node, and the marks the drop target shows.
#include "ui/child_view_win.h"

#include <ole2.h>

#include <string>

#include "ui/drag_formats_win.h"
#include "ui/site_drop_target_win.h"
#include "ui/tree_data_object_win.h"
#include "util/wide_win.h"

namespace {

constexpr int kEdgeScrollPixels = 8;

std::string SystemCodePage(const Text& text) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, W(text), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, W(text), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

bool CChildView::RegisterDropTarget() {
  dropTarget_ = CSiteDropTarget::Create(*this);
  return SUCCEEDED(::RegisterDragDrop(hwnd(), dropTarget_));
}

void CChildView::RevokeDropTarget() {
  if (!dropTarget_) return;
  ::RevokeDragDrop(hwnd());
  dropTarget_->Release();
  dropTarget_ = nullptr;
}

void CChildView::BeginDrag(HTREEITEM node) {
  const ItemId id = IdFromNode(node);
  const CItemBase* item = ItemFromId(id);
  if (!item) return;
  const UINT format = item->kind == CItemBase::kKindFolder ? FolderDragFormat() : SiteDragFormat();
  com_ptr<IDataObject> data = com_ptr<IDataObject>::Attach(CTreeDataObject::Create(format, id, SystemCodePage(item->title)));
  com_ptr<IDropSource> source = com_ptr<IDropSource>::Attach(CTreeDropSource::Create());
  DWORD effect = DROPEFFECT_NONE;
  (void)::DoDragDrop(data.get(), source.get(), DROPEFFECT_MOVE, &effect);
}

ItemId CChildView::NodeAtPoint(POINT client, bool* lowerHalf) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  HTREEITEM node = TreeView_HitTest(tree_, &hit);
  const UINT onRow = TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT;
  if (!node || !(hit.flags & onRow)) return 0;
  if (lowerHalf) {
    RECT row{};
    *lowerHalf = TreeView_GetItemRect(tree_, node, &row, FALSE) && client.y >= (row.top + row.bottom) / 2;
  }
  return IdFromNode(node);
}

// A folder is highlighted (with a mark before its first site when open); a site highlights its
// folder with a mark after the site.
void CChildView::HighlightDropTarget(ItemId id) {
  HTREEITEM node = NodeFromId(id);
  const CItemBase* item = ItemFromId(id);
  if (!node || !item) {
    ClearDropMarks();
    return;
  }
  if (item->kind == CItemBase::kKindFolder) {
    TreeView_SelectDropTarget(tree_, node);
    const bool open = (TreeView_GetItemState(tree_, node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    HTREEITEM first = open ? TreeView_GetChild(tree_, node) : nullptr;
    TreeView_SetInsertMark(tree_, first, FALSE);
  } else {
    TreeView_SelectDropTarget(tree_, TreeView_GetParent(tree_, node));
    TreeView_SetInsertMark(tree_, node, TRUE);
  }
}

// Where a dragged folder would land: before the folder under the point, or before the next one
// on the lower half of the row (after the last one at the end).
void CChildView::ShowFolderInsertMark(ItemId id, bool lowerHalf) {
  HTREEITEM node = NodeFromId(id);
  if (!node) {
    ClearDropMarks();
    return;
  }
  if (HTREEITEM parent = TreeView_GetParent(tree_, node)) node = parent;
  TreeView_SelectDropTarget(tree_, nullptr);
  if (!lowerHalf) {
    TreeView_SetInsertMark(tree_, node, FALSE);
  } else if (HTREEITEM next = TreeView_GetNextSibling(tree_, node)) {
    TreeView_SetInsertMark(tree_, next, FALSE);
  } else {
    TreeView_SetInsertMark(tree_, node, TRUE);
  }
}

void CChildView::ClearDropMarks() {
  TreeView_SelectDropTarget(tree_, nullptr);
  TreeView_SetInsertMark(tree_, nullptr, FALSE);
}

bool CChildView::ScrollNearEdge(POINT client) {
  RECT area{};
  ::GetClientRect(tree_, &area);
  if (client.x < area.left || client.x >= area.right) return false;
  if (client.y >= area.top && client.y < area.top + kEdgeScrollPixels) {
    ::SendMessageW(tree_, WM_VSCROLL, SB_LINEUP, 0);
    return true;
  }
  if (client.y < area.bottom && client.y >= area.bottom - kEdgeScrollPixels) {
    ::SendMessageW(tree_, WM_VSCROLL, SB_LINEDOWN, 0);
    return true;
  }
  return false;
}
