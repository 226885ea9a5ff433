#include "app/main_frame_win.h"

#include <commctrl.h>

#include "app/about_dialog_win.h"
#include "app/notices_win.h"
#include "app/private_messages.h"
#include "store/profile_file.h"
#include "app/resource.h"
#include "store/settings.h"
#include "server/request_router.h"
#include "shared/names.h"
#include "util/dpi_win.h"
#include "util/wide_win.h"

namespace {

constexpr ArtworkStrips kToolbarStrips{IDR_MAINFRAME, IDB_TOOLBAR_20, IDB_TOOLBAR_24, IDB_TOOLBAR_32};
constexpr int kToolbarImageCount = 3;

unique_hicon LoadProgramIcon(HINSTANCE instance, int size) {
  return unique_hicon(static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace

CMainFrame::CMainFrame(AppDirectories directories) : directories_(std::move(directories)) {}

CMainFrame::~CMainFrame() = default;

Text CMainFrame::SettingsPath() const { return directories_.data + kSettingsFileName; }

bool CMainFrame::LoadFrame(HINSTANCE instance) {
  instance_ = instance;
  requestMessage_ = ::RegisterWindowMessageW(W(kRequestMessageName));
  newsMessage_ = ::RegisterWindowMessageW(W(kNewsMessageName));
  taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  accelerators_ = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  if (!RegisterWindowClass(instance, W(kMainWindowClass), nullptr, nullptr,
                           CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS))
    return false;
  wchar_t title[64] = {};
  if (!::LoadStringW(instance, IDS_MAINFRAME_TITLE, title, 64)) return false;
  // The saved size is at 96 dpi: scaled for the monitor the window will be on.
  const MainWindowPosition position = ReadMainWindowPosition(CIniFile(SettingsPath()));
  RECT bounds{position.left, position.top, position.left + position.width, position.top + position.height};
  const auto dpi = static_cast<int32_t>(MonitorDpi(::MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST)));
  bounds.right = bounds.left + ScaleToDpi(position.width, dpi);
  bounds.bottom = bounds.top + ScaleToDpi(position.height, dpi);
  const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  HMENU menuBar = ::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  const bool created = CreateWindowOfClass(W(kMainWindowClass), title, style, 0, bounds, nullptr,
                                           menuBar, instance);
  // A window that was never created does not destroy its menu.
  if (!created && menuBar && !hwnd()) ::DestroyMenu(menuBar);
  return created;
}

bool CMainFrame::TranslateAccelerator(MSG& message) const {
  if (!accelerators_ || !hwnd()) return false;
  // Only for the main window and its children: dialogs keep their own keys.
  if (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd)) return false;
  return ::TranslateAcceleratorW(hwnd(), accelerators_, &message) != 0;
}

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == requestMessage_ && requestMessage_ != 0) return OnRequest(wParam, lParam);
  if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
    OnTaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE: OnSize(); return 0;
    case kMsgDpiChanged: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SETFOCUS:
      if (view_ && view_->hwnd()) ::SetFocus(view_->hwnd());
      return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SYSCOMMAND:
      if (OnSysCommand(wParam)) return 0;
      break;
    case WM_QUERYENDSESSION: return OnQueryEndSession(wParam, lParam);
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      break;
    case kMsgTrayNotify: OnTrayNotify(lParam); return 0;
    case kMsgRegisterUrl: return OnRegisterUrl(wParam, lParam);
    case kMsgCheckingState: OnCheckingState(wParam != 0, lParam); return 0;
    case kMsgRefreshAlpha: OnRefreshAlpha(); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_POWERBROADCAST:
      return view_ && view_->hwnd() ? ::SendMessageW(view_->hwnd(), message, wParam, lParam) : TRUE;
  }
  return DefaultHandling(message, wParam, lParam);
}

// The view first (it loads everything and may end the program), then the bars, the icons and
// the tray entry.
bool CMainFrame::OnCreate() {
  view_ = std::make_unique<CChildView>(directories_);
  if (!view_->Create(hwnd(), instance_)) return false;
  if (!CreateToolbar() || !CreateRebar() || !CreateStatusBar()) return false;
  ApplyDpi(WindowDpi(hwnd()));
  tray_ = std::make_unique<CTrayIcon>(hwnd(), kMsgTrayNotify, instance_);
  trayIconId_ = kTrayIconIdle;
  tray_->Add(trayIconId_);
  BroadcastToolbarState(newsMessage_, false);
  OnSize();
  return true;
}

bool CMainFrame::CreateToolbar() {
  toolbar_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST |
                                   TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, hwnd(), nullptr, instance_, nullptr);
  if (!toolbar_) return false;
  ::SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  // The pictures come with the DPI (ApplyDpi).
  const BYTE sized = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
  TBBUTTON buttons[] = {
      {0, ID_TOOLBAR_NEW, TBSTATE_ENABLED, BYTE(sized | BTNS_WHOLEDROPDOWN), {}, 0, INT_PTR(L"新規")},
      {1, ID_DELETE, TBSTATE_ENABLED, sized, {}, 0, INT_PTR(L"削除")},
      {0, 0, 0, BTNS_SEP, {}, 0, 0},
      {2, ID_OPTIONS, TBSTATE_ENABLED, sized, {}, 0, INT_PTR(L"オプション")},
  };
  if (!::SendMessageW(toolbar_, TB_ADDBUTTONSW, ARRAYSIZE(buttons), reinterpret_cast<LPARAM>(buttons)))
    return false;
  ::SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  return true;
}

bool CMainFrame::CreateRebar() {
  rebar_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                 RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                             0, 0, 0, 0, hwnd(), nullptr, instance_, nullptr);
  if (!rebar_) return false;
  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V6_SIZE;
  band.fMask = RBBIM_CHILD | RBBIM_STYLE;
  band.fStyle = RBBS_GRIPPERALWAYS | RBBS_CHILDEDGE;
  band.hwndChild = toolbar_;
  if (!::SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band))) return false;
  FitToolbarBand();
  return true;
}

// The band as large as the toolbar's buttons, whose size follows their pictures and font.
void CMainFrame::FitToolbarBand() {
  ::SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  SIZE toolbarSize{};
  ::SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&toolbarSize));
  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V6_SIZE;
  band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
  band.cxMinChild = toolbarSize.cx;
  band.cyMinChild = toolbarSize.cy;
  band.cx = toolbarSize.cx;
  ::SendMessageW(rebar_, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
}

void CMainFrame::ApplyDpi(UINT dpi) {
  if (unique_himagelist images = LoadArtwork(instance_, kToolbarStrips, dpi, kToolbarImageCount)) {
    ::SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    toolbarImages_ = std::move(images);
  }
  if (unique_hgdiobj font = UserInterfaceFont(dpi)) {
    ::SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    ::SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    barFont_ = std::move(font);
  }
  FitToolbarBand();
  bigIcon_ = LoadProgramIcon(instance_, SystemMetricForDpi(SM_CXICON, dpi));
  smallIcon_ = LoadProgramIcon(instance_, SystemMetricForDpi(SM_CXSMICON, dpi));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  if (view_) view_->ApplyDpi(dpi);
}

// Moved to a monitor of another DPI, or its scaling changed: the place the system suggests, and
// everything drawn for the new DPI. The tray follows the task bar's monitor, which may be this one.
void CMainFrame::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi(dpi);
  if (tray_) tray_->Refresh(trayIconId_);
  OnSize();
}

bool CMainFrame::CreateStatusBar() {
  statusBar_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                                 0, 0, hwnd(), nullptr, instance_, nullptr);
  return statusBar_ != nullptr;
}

// Rebar on top, status bar at the bottom, the view in between.
void CMainFrame::OnSize() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  int top = 0;
  int bottom = client.bottom;
  if (rebar_) {
    ::SendMessageW(rebar_, WM_SIZE, 0, 0);
    RECT bar{};
    ::GetWindowRect(rebar_, &bar);
    top = bar.bottom - bar.top;
  }
  if (statusBar_) {
    ::SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT bar{};
    ::GetWindowRect(statusBar_, &bar);
    bottom -= bar.bottom - bar.top;
  }
  if (view_ && view_->hwnd())
    ::MoveWindow(view_->hwnd(), 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
}

LRESULT CMainFrame::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == toolbar_ && header.code == TBN_DROPDOWN) {
    ShowNewDropDown(reinterpret_cast<const NMTOOLBARW&>(header));
    return TBDDRET_DEFAULT;
  }
  if (header.hwndFrom == rebar_ && header.code == RBN_HEIGHTCHANGE) OnSize();
  return 0;
}

// The "新規" button opens its pop-up right under itself.
void CMainFrame::ShowNewDropDown(const NMTOOLBARW& button) {
  if (button.iItem != ID_TOOLBAR_NEW) return;
  unique_hmenu menus(::LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_POPUP_MENUS)));
  HMENU newMenu = menus ? ::GetSubMenu(menus.get(), 0) : nullptr;
  if (!newMenu) return;
  RECT place{};
  ::SendMessageW(toolbar_, TB_GETRECT, ID_TOOLBAR_NEW, reinterpret_cast<LPARAM>(&place));
  ::MapWindowPoints(toolbar_, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
  ::TrackPopupMenu(newMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, place.left, place.bottom, 0,
                   hwnd(), nullptr);
}

// The exit path: the view saves and cleans up, then the frame goes and the program ends.
void CMainFrame::OnClose() {
  if (view_ && view_->hwnd()) ::SendMessageW(view_->hwnd(), WM_CLOSE, 0, 0);
  ::DestroyWindow(hwnd());
}

void CMainFrame::OnDestroy() {
  if (tray_) tray_->Remove();
  if (!::IsIconic(hwnd()) && !::IsZoomed(hwnd())) {
    RECT bounds{};
    ::GetWindowRect(hwnd(), &bounds);
    CIniFile settingsFile(SettingsPath());
    const auto dpi = static_cast<int32_t>(WindowDpi(hwnd()));
    WriteMainWindowPosition(settingsFile, MainWindowPosition{bounds.left, bounds.top,
                                                             ScaleFromDpi(bounds.right - bounds.left, dpi),
                                                             ScaleFromDpi(bounds.bottom - bounds.top, dpi)});
  }
  ::PostQuitMessage(0);
}

// Minimising or closing from the system menu only hides the window; the state is saved.
bool CMainFrame::OnSysCommand(WPARAM command) {
  const WPARAM which = command & 0xFFF0;
  if (which != SC_MINIMIZE && which != SC_CLOSE) return false;
  ::ShowWindow(hwnd(), SW_HIDE);
  if (view_) (void)view_->SaveSettingsAndData();
  return true;
}

// The logon ends: the same clean-up as an exit, since no WM_CLOSE may follow.
LRESULT CMainFrame::OnQueryEndSession(WPARAM wParam, LPARAM lParam) {
  const LRESULT allowed = DefaultHandling(WM_QUERYENDSESSION, wParam, lParam);
  if (allowed && view_ && view_->hwnd()) ::SendMessageW(view_->hwnd(), WM_CLOSE, 0, 0);
  return allowed ? TRUE : FALSE;
}

bool CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT command = LOWORD(wParam);
  switch (command) {
    case ID_APP_EXIT: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); return true;
    case ID_APP_ABOUT: ShowAboutBox(); return true;
    case ID_SHOW_MAIN_WINDOW: ShowAndBringToFront(); return true;
    case ID_TOOLBAR_NEW: return true;  // the button only opens its drop-down
    case ID_CLOSE_POPUP: CloseNotifyPopup(reinterpret_cast<HWND>(lParam)); return true;
    case ID_CLOSE_TICKER: CloseTicker(reinterpret_cast<HWND>(lParam)); return true;
  }
  if (OnTrayFolderCommand(command)) return true;
  // Everything else belongs to the view.
  if (view_ && view_->hwnd()) {
    ::SendMessageW(view_->hwnd(), WM_COMMAND, wParam, lParam);
    return true;
  }
  return false;
}

void CMainFrame::ShowAboutBox() {
  AboutBoxData data;
  data.dataDirectory = directories_.data;
  data.tempDirectory = directories_.temp;
  data.link = view_ ? CurrentPageUrl(view_->Settings().portInUse, 0) : Text();
  ShowAboutDialog(hwnd(), instance_, data);
}

// A window of ours other than the main window, the pop-up and the ticker is active: some dialog
// is open. A disabled main window also counts: a modal window (the download's progress, which
// shows only after a moment) is up.
bool CMainFrame::IsDialogOpen() const {
  HWND active = ::GetLastActivePopup(hwnd());
  return (active != nullptr && active != hwnd() && !IsNotice(active)) || !::IsWindowEnabled(hwnd());
}

// Shown normally and made the foreground window.
void CMainFrame::ShowAndBringToFront() {
  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  BringToFront(hwnd());
}
