// The view as the local server sees it: the tree, the files beside the program and in the
// working folders, and the commands a request may post.
#include "ui/child_view_win.h"

#include <commctrl.h>

#include "app/private_messages.h"
#include "store/profile_file.h"
#include "shared/names.h"
#include "store/mark_read.h"
#include "util/file_io_win.h"
#include "util/wide_win.h"

namespace {

constexpr char16_t kHtmlSection[] = u"html";
constexpr char16_t kAllowKey[] = u"allow";
constexpr size_t kWhitelistChars = 4095;

}  // namespace

bool CChildView::OpenServer() {
  server_ = std::make_unique<CMySocket>(*this, settings_.portInUse);
  int error = 0;
  const CMySocket::OpenResult result = server_->Open(hwnd(), kMsgServerSocket, &error);
  if (result == CMySocket::OpenResult::kOpen) return true;
  Text message = result == CMySocket::OpenResult::kCreateFailed
                     ? u"ソケットを作成できませんでした。(Error = " + UnsignedDecimalText(error) + u")"
                     : u"ソケット(ポート" + UnsignedDecimalText(settings_.portInUse) +
                           u")の接続要求待機に失敗しました。(Error = " + UnsignedDecimalText(error) + u")";
  ::MessageBoxW(nullptr, W(message), W(kApplicationTitle), MB_OK | MB_ICONERROR);
  server_.reset();
  return false;
}

// From the model, in display order: the control is never asked for structure. Items without
// a node (being added or removed) are left out.
std::vector<ItemId> CChildView::ChildIds(ItemId parent) const {
  std::vector<ItemId> ids;
  auto collect = [this, &ids](const auto& items) {
    ids.reserve(items.size());
    for (const auto& item : items)
      if (const ItemId id = IdOfItem(item.get())) ids.push_back(id);
  };
  if (parent == 0) {
    collect(folders_);
  } else if (const CItemBase* item = ItemFromId(parent); item && item->kind == CItemBase::kKindFolder) {
    collect(static_cast<const CFolderItem*>(item)->Children());
  }
  return ids;
}

// Empty when define.ini has none: the pages then use their safe default.
Text CChildView::BodyWhitelist() const {
  return CIniFile(directories_.program + kDefineIniFileName)
      .ReadString(kHtmlSection, kAllowKey, u"", kWhitelistChars);
}

bool CChildView::PageFileExists(ItemId id) const { return FileExists(GetPageFilePath(*this, id)); }

void CChildView::MarkRead(ItemId id) {
  if (CItemBase* item = ItemFromId(id)) {
    MarkItemRead(*item);
    RefreshItemImage(id);
    for (ItemId child : ChildIds(id)) RefreshItemImage(child);
    if (const ItemId parent = ParentId(id)) RefreshItemImage(parent);
  }
  ::PostMessageW(::GetParent(hwnd()), WM_COMMAND, ID_CLOSE_POPUP, 0);
}

std::optional<std::string> CChildView::ReadFile(const Text& path) const { return ReadWholeFile(path); }

bool CChildView::WriteFile(const Text& path, std::string_view bytes) {
  ::CreateDirectoryW(W(directories_.temp), nullptr);
  return ReplaceFileContents(path, bytes);
}

void CChildView::PostRegisterUrl(const Text& url) {
  (void)PostHeapText(::GetParent(hwnd()), kMsgRegisterUrl, url, 0);
}

void CChildView::PostCommand(Command command) {
  const UINT id = command == Command::kCheckAll ? ID_CHECK_ALL : ID_SHOW_MAIN_WINDOW;
  ::PostMessageW(::GetParent(hwnd()), WM_COMMAND, id, 0);
}

void CChildView::SelectAndShowItem(ItemId id) {
  HTREEITEM node = id ? NodeFromId(id) : nullptr;
  if (!node || !TreeView_SelectItem(tree_, node)) return;
  PostCommand(Command::kShowMainWindow);
  ::PostMessageW(hwnd(), WM_COMMAND, ID_BRING_TO_FRONT, 0);
}
