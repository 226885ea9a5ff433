// The view's commands and the opening of pages in the user's browser.
#include "ui/child_view_win.h"

#include <shellapi.h>

#include "app/private_messages.h"
#include "server/request_router.h"
#include "shared/names.h"
#include "ui/open_address.h"
#include "util/wide_win.h"

namespace {

bool ControlHeld() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// The configured browser with the addresses as its arguments; false when it could not start.
bool StartBrowser(const Text& browser, const Text& arguments) {
  Text commandLine = BrowserCommandLine(browser, arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, const_cast<wchar_t*>(W(commandLine)), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace

void CChildView::OnCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case ID_CHECK_ALL: CheckAll(); break;
    case ID_STOP: StopChecks(); break;
    case ID_MARK_ALL_READ: MarkAllRead(); break;
    case ID_SHOW_ARTICLES:
    case ID_SHOW_ARTICLES_STORED: ShowSelectedArticles(ControlHeld()); break;
    case ID_BRING_TO_FRONT: BringToFront(::GetParent(hwnd())); break;
    case ID_NEW_SITE:
      ::SendMessageW(::GetParent(hwnd()), WM_COMMAND, ID_SHOW_MAIN_WINDOW, 0);
      AddFromUrl(u"", SelectedItemId(), false);
      break;
    case ID_PASTE_SITE: PasteSite(); break;
    case ID_NEW_SEARCH_SITE: AddSearchSite(); break;
    case ID_OPTIONS: ShowOptions(); break;
    case ID_PROPERTIES: ShowItemProperties(); break;
    case ID_OPML_EXPORT_ALL: ExportOpml(false); break;
    case ID_OPML_EXPORT_SELECTED: ExportOpml(true); break;
    case ID_OPML_IMPORT: ImportOpml(); break;
    default: (void)OnTreeCommand(LOWORD(wParam)); break;
  }
}

void CChildView::MarkAllRead() {
  if (::MessageBoxW(::GetParent(hwnd()), L"全てを既読にしてよろしいですか?", W(kApplicationTitle),
                    MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  // Each folder's picture change tells the main window, so the tray follows.
  for (ItemId folder : TopLevelFolderIds()) SetItemNewFlag(0, folder, true);
}

void CChildView::ShowSelectedArticles(bool storedPage) {
  const ItemId id = SelectedItemId();
  if (id) OpenInBrowser(ShowArticlesUrl(settings_.portInUse, id, storedPage));
}

// Addresses come from feeds and remote lists: they reach the browser's command line or the
// shell only when they are plain web addresses, each quoted.
void CChildView::OpenInBrowser(TextView text) {
  if (text.empty()) return;
  const auto arguments = BrowserArguments(text);
  if (!arguments) return;
  if (!Trim(settings_.browser).empty() && StartBrowser(settings_.browser, *arguments)) return;
  // The system's handler takes one address.
  if (!IsOpenableAddress(text)) return;
  ::ShellExecuteW(nullptr, L"open", W(Text(text)), nullptr, nullptr, SW_SHOWNORMAL);
}

void CChildView::OpenNewArticles() {
  const uint16_t port = settings_.portInUse;
  if (ControlHeld()) return OpenInBrowser(CurrentPageUrl(port, LastPageId()));
  Text all;
  if (!Trim(settings_.browser).empty() && settings_.browseAll != 0) {
    for (ItemId id : TopLevelFolderIds()) {
      const CItemBase* folder = ItemFromId(id);
      if (!folder || folder->newFlag == 0) continue;
      if (!all.empty()) all += u' ';
      all += ShowArticlesUrl(port, id, false);
    }
  }
  OpenInBrowser(all.empty() ? NewArticlesUrl(port) : all);
}

ItemId CChildView::FirstItemWithNew() const {
  for (ItemId id : TopLevelFolderIds()) {
    const CItemBase* folder = ItemFromId(id);
    if (folder && folder->newFlag != 0) return id;
  }
  return 0;
}
