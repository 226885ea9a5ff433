// The user's commands on the site tree, its keys, its context menus and its notifications.
#include "ui/child_view_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/private_messages.h"
#include "ui/add_folder_dialog_win.h"
#include "ui/tree_rules.h"
#include "util/nesting_guard_win.h"
#include "util/wide_win.h"

namespace {

bool KeyHeld(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The tree's own keys become commands: posted, so that a dialog or menu they open does not run
// inside the control's key handling, and to the main window, which handles its own commands
// and hands the rest to the view.
LRESULT CALLBACK TreeKeys(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const auto* hook = reinterpret_cast<const CChildView::TreeKeysHook*>(::GetWindowLongPtrW(tree, GWLP_USERDATA));
  if (!hook) return ::DefWindowProcW(tree, message, wParam, lParam);
  const WNDPROC original = hook->original;
  // The control's last message: it leaves with its own procedure again.
  if (message == WM_NCDESTROY)
    return ::CallWindowProcW(CChildView::UnhookTreeKeys(tree), tree, message, wParam, lParam);
  const NestingGuard nesting(tree, reinterpret_cast<const void*>(&TreeKeys));
  auto post = [hook](UINT command) {
    ::PostMessageW(::GetParent(hook->view), WM_COMMAND, command, 0);
    return 0;
  };
  // Only key messages ask the control anything: asking sends the tree a message, which comes
  // back through this very procedure.
  const bool keyMessage = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  const bool editing = keyMessage && TreeView_GetEditControl(tree) != nullptr;
  if (message == WM_KEYDOWN && !editing) {
    if (wParam == VK_DELETE) return post(ID_DELETE);
    if (wParam == VK_F2) return post(ID_RENAME);
    if (wParam == 'V' && KeyHeld(VK_CONTROL)) return post(ID_PASTE_SITE);
    if (wParam == VK_APPS) return post(ID_CONTEXT_MENU);
  }
  if (message == WM_SYSKEYDOWN && !editing) {
    if (wParam == VK_RETURN) return post(ID_PROPERTIES);
    if (wParam == VK_F10 && KeyHeld(VK_SHIFT)) return post(ID_CONTEXT_MENU);
  }
  // The characters of the keys above would otherwise start an incremental search or beep.
  if ((message == WM_CHAR && wParam == 0x16) || (message == WM_SYSCHAR && wParam == VK_RETURN)) return 0;
  if (message == WM_CONTEXTMENU) return 0;  // the menu key and Shift+F10 are handled above
  return ::CallWindowProcW(original, tree, message, wParam, lParam);
}

}  // namespace

bool CChildView::OnTreeCommand(UINT id) {
  const ItemId selected = SelectedItemId();
  const CItemBase* item = ItemFromId(selected);
  const bool site = item && item->kind == CItemBase::kKindSite;
  switch (id) {
    case ID_NEW_FOLDER: NewFolder(); return true;
    case ID_DELETE: DeleteItem(selected, true); return true;
    case ID_RENAME:
      if (item) {
        ::SetFocus(tree_);
        TreeView_EditLabel(tree_, NodeFromId(selected));
      }
      return true;
    case ID_MARK_READ: SetItemNewFlag(0, selected, true); return true;
    case ID_CHECK:
      if (selected) CheckNow(selected);
      return true;
    case ID_OPEN_SITE:
      if (site) {
        SetItemNewFlag(0, selected, true);
        OpenInBrowser(item->link);
      }
      return true;
    case ID_SITE_LINK:
      if (site) OpenInBrowser(item->link);
      return true;
    case ID_FEED_LINK:
      if (site) OpenInBrowser(item->src);
      return true;
    case ID_RESET_ARTICLES: ResetArticles(selected); return true;
    case ID_SORT_BY_NAME:
    case ID_SORT_BY_UPDATE:
      SortFolder(selected, id == ID_SORT_BY_UPDATE, NormalSortOrder(KeyHeld(VK_SHIFT)));
      return true;
    case ID_CONTEXT_MENU: ShowContextMenuOfSelection(); return true;
  }
  return false;
}

// A check asked for by the user: a new count of updated sites, and no download held back.
void CChildView::CheckNow(ItemId id) {
  updatedCount_ = 0;
  subscriptions_.Clear();
  CheckItem(id, KeyHeld(VK_SHIFT), false, true);
}

void CChildView::NewFolder() {
  ::SendMessageW(::GetParent(hwnd()), WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0);
  AddFolderDialogData data;
  if (!RunAddFolderDialog(::GetParent(hwnd()), instance_, data)) return;
  auto folder = std::make_unique<CFolderItem>();
  folder->SetTitle(data.name);
  AppendFolder(std::move(folder));
  if (const auto folders = ChildIds(0); !folders.empty()) TreeView_SelectItem(tree_, NodeFromId(folders.back()));
}

void CChildView::ShowContextMenu(ItemId id, POINT screen) {
  const CItemBase* item = ItemFromId(id);
  const int resource = !item ? IDR_MENU_NON : item->kind == CItemBase::kKindSite ? IDR_MENU_SITE : IDR_MENU_FOLDER;
  unique_hmenu menu(::LoadMenuW(instance_, MAKEINTRESOURCEW(resource)));
  HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
  if (!popup) return;
  if (resource == IDR_MENU_SITE) ::SetMenuDefaultItem(popup, ID_SHOW_ARTICLES, FALSE);
  HWND frame = ::GetParent(hwnd());
  ::SetForegroundWindow(frame);
  const UINT command = ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr);
  // Through the main window, which handles its own commands and hands the rest to the view.
  if (command) ::PostMessageW(frame, WM_COMMAND, command, 0);
}

void CChildView::ShowContextMenuOfSelection() {
  const ItemId id = SelectedItemId();
  RECT place{};
  if (HTREEITEM node = NodeFromId(id); !node || !TreeView_GetItemRect(tree_, node, &place, TRUE))
    ::GetClientRect(tree_, &place);
  POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  ::ClientToScreen(tree_, &centre);
  ShowContextMenu(id, centre);
}

LRESULT CChildView::OnTreeNotify(NMHDR* header) {
  if (!header || header->hwndFrom != tree_) return 0;
  switch (header->code) {
    case TVN_DELETEITEMW: {
      // Whichever way a node goes, its id names nothing afterwards and its subscription
      // forgets it.
      const ItemId id = IdFromNode(reinterpret_cast<NMTREEVIEWW*>(header)->itemOld.hItem);
      if (const CItemBase* item = ItemFromId(id); item && item->kind == CItemBase::kKindSite)
        subscriptions_.Unregister(UniqueKey(*item), id);
      ids_.Remove(id);
      return 0;
    }
    case TVN_BEGINLABELEDITW: return FALSE;
    case TVN_ENDLABELEDITW: {
      auto* edit = reinterpret_cast<NMTVDISPINFOW*>(header);
      CItemBase* item = ItemFromId(IdFromNode(edit->item.hItem));
      if (!edit->item.pszText || !item) return FALSE;
      item->SetTitle(FromWide(edit->item.pszText));
      return TRUE;
    }
    case TVN_BEGINDRAGW: BeginDrag(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem); return 0;
    case NM_RCLICK: {
      POINT screen{};
      ::GetCursorPos(&screen);
      POINT client = screen;
      ::ScreenToClient(tree_, &client);
      const ItemId id = NodeAtPoint(client);
      if (id) TreeView_SelectItem(tree_, NodeFromId(id));
      ShowContextMenu(id, screen);
      return TRUE;
    }
    case NM_DBLCLK: {
      POINT client{};
      ::GetCursorPos(&client);
      ::ScreenToClient(tree_, &client);
      const CItemBase* item = ItemFromId(NodeAtPoint(client));
      if (!item || item->kind != CItemBase::kKindSite) return FALSE;  // a folder opens or closes
      ::PostMessageW(hwnd(), WM_COMMAND, ID_SHOW_ARTICLES, 0);
      return TRUE;
    }
  }
  return 0;
}

// Hooks the tree's keys; called once the control exists. The window procedure is replaced
// directly rather than through the common controls' subclass list: that list lives in a window
// property, and under Wine every property lookup goes to the server process, once per message
// the tree gets; inserting 10,000 nodes took over a second that way instead of milliseconds.
bool CChildView::CreateTreeKeys() {
  treeKeys_.view = hwnd();
  ::SetWindowLongPtrW(tree_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&treeKeys_));
  treeKeys_.original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeKeys)));
  if (treeKeys_.original) return true;
  ::SetWindowLongPtrW(tree_, GWLP_USERDATA, 0);
  return false;
}

WNDPROC CChildView::UnhookTreeKeys(HWND tree) noexcept {
  const auto* hook = reinterpret_cast<const TreeKeysHook*>(::GetWindowLongPtrW(tree, GWLP_USERDATA));
  if (!hook) return nullptr;
  const WNDPROC original = hook->original;
  ::SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  ::SetWindowLongPtrW(tree, GWLP_USERDATA, 0);
  return original;
}
