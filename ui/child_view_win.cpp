#include "ui/child_view_win.h"

#include <commctrl.h>

#include "app/private_messages.h"
#include "store/profile_file.h"
#include "check/fetch_rules.h"
#include "check/http_transfer_win.h"
#include "shared/names.h"
#include "store/data_file_win.h"
#include "store/opml.h"
#include "store/password_protection.h"
#include "ui/transfer_progress_win.h"
#include "ui/tree_rules.h"
#include "util/dpi_win.h"
#include "util/file_io_win.h"
#include "util/url.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

namespace {

constexpr wchar_t kViewClassName[] = L"pelun_view_class";

void ShowStartupError(TextView format, const Text& path) {
  Text message(format);
  ReplaceAll(message, u"%s", path);
  ::MessageBoxW(nullptr, W(message), W(kApplicationTitle), MB_OK | MB_ICONERROR);
}

}  // namespace

CChildView::CChildView(AppDirectories directories) : directories_(std::move(directories)) {}

// The tree outlives the members when the base class destroys the windows: it gets its own
// procedure back first.
CChildView::~CChildView() {
  if (tree_ && ::GetWindowLongPtrW(tree_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(&treeKeys_))
    (void)UnhookTreeKeys(tree_);
}

bool CChildView::Create(HWND parent, HINSTANCE instance) {
  instance_ = instance;
  if (!RegisterWindowClass(instance, kViewClassName, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW))
    return false;
  RECT client{};
  ::GetClientRect(parent, &client);
  return CreateWindowOfClass(kViewClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                             client, parent, nullptr, instance);
}

LRESULT CChildView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DESTROY: RevokeDropTarget(); return 0;
    case WM_NOTIFY: return OnTreeNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SETFOCUS: ::SetFocus(tree_); return 0;
    case WM_CLOSE: OnExit(); return 0;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam); return TRUE;
    case kMsgRegisterUrl: return OnRegisterUrl(wParam, lParam);
    case kMsgFileDropped: return OnFileDropped(wParam, lParam);
    case kMsgTextDropped: return OnTextDropped(wParam, lParam);
    case kMsgTransferDone: return OnTransferDone(wParam, lParam);
    case kMsgXmlLoaded: return OnXmlLoaded(wParam, lParam);
    case kMsgServerSocket:
      if (server_) server_->OnSocketMessage(wParam, lParam);
      return 0;
    default: return DefaultHandling(message, wParam, lParam);
  }
}

// Creation order: settings, the tree control, the data, then the tree and the subscriptions.
bool CChildView::OnCreate() {
  settings_ = LoadSettings(CIniFile(SettingsPath()));
  subscriptionDefaults_ = ReadSubscriptionDefaults(CIniFile(directories_.program + kDefineIniFileName));
  if (!CreateTreeControl()) return false;
  // Without its pictures, its keys or OLE the tree still works: it shows bare labels, takes
  // commands from the menus only, or accepts no drops.
  ApplyDpi(WindowDpi(hwnd()));
  (void)CreateTreeKeys();
  (void)RegisterDropTarget();
  // Stored passwords need the key pair; without it they only come back empty, so the program
  // still runs.
  (void)EnsureKeyContainer();
  if (!LoadSubscriptions()) return false;
  FillTree();
  if (!OpenServer()) return false;
  StartCheckTimers();
  return true;
}

// A data file that exists but cannot be read is left exactly as it is: the program ends
// rather than replace the user's subscriptions with the defaults.
bool CChildView::LoadSubscriptions() {
  const Text path = DataFilePath();
  if (FileExists(path)) {
    const ItemReadOptions options{static_cast<std::size_t>(settings_.loadItem),
                                  subscriptionDefaults_.auctionHostFragment};
    bool loaded = false;
    try {
      loaded = LoadDataFile(path, options, folders_);
    } catch (...) {
      // Out of memory part way through a large file: as unreadable, and nothing is kept of it.
    }
    if (!loaded) {
      folders_.clear();
      ShowStartupError(u"データファイルをロードできませんでした。データが破損している可能性があります．．．\n\n%s", path);
      return false;
    }
  }
  if (!folders_.empty()) {
    dataLoaded_ = true;
    dataFileLock_ = LockDataFile(path);
    return true;
  }
  // An exit asked for while the list downloads ends the start here, with nothing written.
  if (!ImportDefaultSubscriptions()) return false;
  dataLoaded_ = true;
  if (!SaveSettingsAndData()) {
    ShowStartupError(u"データファイルを作成できませんでした。\n\n%s", path);
    return false;
  }
  return true;
}

// The list from the configured address first, the one shipped beside the program otherwise
// (also when the user stops the download). False when the program is to end instead.
bool CChildView::ImportDefaultSubscriptions() {
  std::optional<OpmlDocument> list;
  const Text& url = subscriptionDefaults_.defaultListUrl;
  if (!url.empty()) {
    bool exiting = false;
    if (auto bytes = DownloadDefaultList(url, &exiting))
      if (auto root = LoadXmlDocument(*bytes)) list = ReadOpml(*root);
    if (exiting) return false;
    if (list && list->tooLarge) list.reset();
    if (list) KeepWebSitesOnly(list->items);
  }
  if (!list)
    if (auto root = LoadXmlFile(directories_.program + kDefaultOpmlFileName)) list = ReadOpml(*root);
  if (list) ImportOpmlItems(folders_, nullptr, nullptr, list->items);
  return true;
}

std::optional<std::string> CChildView::DownloadDefaultList(const Text& url, bool* exiting) const {
  FetchRequest request;
  request.url = url;
  request.proxy = settings_.proxy;
  request.proxyPassword = UnprotectText(settings_.proxy.protectedPass);
  request.headers = ScheduledHeaders(u"", u"", false, url, kBrowserAgentHostFragment);
  // A first start must not hang on an unreachable address longer than a check would.
  request.timeoutMilliseconds = static_cast<uint32_t>(settings_.timeout) * 1000u;
  const auto transfer = [&](const FetchRequest& attempt) -> std::optional<FetchResult> {
    WaitedTransfer waited = RunTransferWithProgress(::GetParent(hwnd()), instance_, attempt);
    if (waited.end == TransferEnd::kExiting) *exiting = true;
    return std::move(waited.result);
  };
  auto result = FetchThrough(transfer, request, nullptr);
  if (!result) return std::nullopt;
  return std::move(result->body);
}

bool CChildView::CreateTreeControl() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  tree_ = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                            0, 0, client.right, client.bottom, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeControlId)), instance_,
                            nullptr);
  return tree_ != nullptr;
}

void CChildView::ApplyDpi(UINT dpi) {
  CreateImageList(dpi);
  unique_hgdiobj font = UserInterfaceFont(dpi);
  if (!font) return;
  ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  treeFont_ = std::move(font);
}

void CChildView::OnSize(int width, int height) {
  if (tree_) ::MoveWindow(tree_, 0, 0, width, height, TRUE);
}

// A new node shows its picture and bold label from the start: one message per node, however
// many a list or a data file brings. Its folder is refreshed once by the caller.
ItemId CChildView::InsertNode(CItemBase& item, HTREEITEM parent, HTREEITEM after) {
  const bool isNew = item.newFlag != 0;
  const NodeLook look = item.kind == CItemBase::kKindFolder
                            ? FolderLook({SourceKind(item) == 2, false, isNew})
                            : SiteLook({false, item.IsCheckable(), item.HasError(), isNew});
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  insert.item.iImage = insert.item.iSelectedImage = look.image;
  insert.item.stateMask = TVIS_BOLD;
  insert.item.state = look.bold ? TVIS_BOLD : 0;
  const Text title = item.GetTitle();
  insert.item.pszText = const_cast<wchar_t*>(W(title));
  insert.item.lParam = reinterpret_cast<LPARAM>(&item);
  auto node = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node) return 0;
  const ItemId id = ids_.Add(reinterpret_cast<ItemIdTable::NodeHandle>(node), &item);
  ids_.SetImage(id, look.image);
  ids_.SetBold(id, look.bold);
  return id;
}

// Every site is listed under its subscription with tick 0, so no check is held back at start.
void CChildView::FillTree() {
  const TreeRedrawPause pause(*this);
  ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  ids_.Clear();
  subscriptions_.Clear();
  for (const auto& folder : folders_) AddFolderNodes(*folder);
}

CChildView::TreeRedrawPause::TreeRedrawPause(CChildView& view) : view_(view) {
  if (view_.redrawPauses_++ == 0 && view_.tree_) ::SendMessageW(view_.tree_, WM_SETREDRAW, FALSE, 0);
}

CChildView::TreeRedrawPause::~TreeRedrawPause() {
  if (--view_.redrawPauses_ != 0 || !view_.tree_) return;
  ::SendMessageW(view_.tree_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(view_.tree_, nullptr, TRUE);
}

void CChildView::AddFolderNodes(CFolderItem& folder) {
  const TreeRedrawPause pause(*this);
  const ItemId folderId = InsertNode(folder, TVI_ROOT);
  HTREEITEM folderNode = NodeFromId(folderId);
  for (const auto& child : folder.Children()) {
    const ItemId siteId = InsertNode(*child, folderNode);
    if (siteId) subscriptions_.Register(UniqueKey(*child), siteId, 0);
  }
  RefreshItemImage(folderId);
}

CFolderItem* CChildView::AppendFolder(std::unique_ptr<CFolderItem> folder) {
  CFolderItem* added = folder.get();
  folders_.push_back(std::move(folder));
  if (tree_) AddFolderNodes(*added);
  return added;
}

HTREEITEM CChildView::NodeFromId(ItemId id) const {
  return reinterpret_cast<HTREEITEM>(ids_.NodeOf(id));
}

ItemId CChildView::IdFromNode(HTREEITEM node) const {
  return ids_.IdOfNode(reinterpret_cast<ItemIdTable::NodeHandle>(node));
}

void CChildView::SetNodeText(ItemId id, const Text& text) {
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = NodeFromId(id);
  item.pszText = const_cast<wchar_t*>(W(text));
  ::SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

ItemId CChildView::SelectedItemId() const {
  auto node = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  return node ? IdFromNode(node) : 0;
}

Text CChildView::SettingsPath() const { return directories_.data + kSettingsFileName; }
Text CChildView::DataFilePath() const { return directories_.data + kDataFileName; }

// The data file first, then the settings; the settings are written even when the data failed.
// Before the data has loaded whole there is nothing to save: an exit, a suspension or the end
// of the logon while a start-up message is shown must not write a partial tree over the file.
bool CChildView::SaveSettingsAndData() {
  if (!dataLoaded_) return false;
  dataFileLock_.reset();
  ::CreateDirectoryW(W(directories_.data), nullptr);
  bool saved = SaveDataFile(DataFilePath(), folders_);
  dataFileLock_ = LockDataFile(DataFilePath());
  if (!dataFileLock_) saved = false;
  CIniFile settingsFile(SettingsPath());
  WriteSettings(settings_, settingsFile);
  return saved;
}

void CChildView::OnExit() { ExitCleanUp(); }

void CChildView::ExitCleanUp() {
  StopChecks();
  (void)SaveSettingsAndData();
  DeleteWorkingFiles(directories_.temp, settings_.leaveHtml != 0);
}

// Text a web page handed over may only offer a web address; a path or a file: address is
// something the user types or picks, never something a page chooses.
LRESULT CChildView::OnRegisterUrl(WPARAM heapText, LPARAM source) {
  std::unique_ptr<char16_t[]> text(reinterpret_cast<char16_t*>(heapText));
  if (!text) return 0;
  TextView address(text.get());
  if (source != kRegisterFromCommandLine && !IsWebAddress(Trim(address))) address = TextView();
  RegisterSiteFromAddress(address, SelectedItemId());
  return 1;
}

void CChildView::RegisterSiteFromAddress(TextView address, ItemId placeAfter) {
  AddFromUrl(address, placeAfter, false);
}
