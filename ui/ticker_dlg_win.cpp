#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include "ui/ticker_dlg_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/private_messages.h"
#include "store/profile_file.h"
#include "app/resource.h"
#include "store/settings.h"
#include "server/request_router.h"
#include "ui/child_view_win.h"
#include "ui/notice_window_win.h"
#include "ui/notify_geometry.h"
#include "ui/open_address.h"
#include "ui/top_folders_win.h"
#include "util/dpi_win.h"
#include "util/wide_win.h"

namespace {

constexpr int kFontHeight = 12;
constexpr UINT_PTR kEntryTimer = 1;
constexpr UINT_PTR kScrollTimer = 2;
constexpr UINT kScrollMilliseconds = 40;
constexpr UINT kHoldMilliseconds = 2000;  // while pointed at or while the menu is open
constexpr int kCloseButtonId = 2;
constexpr int kResizeEdge = 4;
constexpr POINT kSiteOrigin{6, 6};
constexpr int kSiteRightMargin = 17;  // clear of the close button
constexpr int kTitleTop = 21;
constexpr int kTitleRightMargin = 3;
constexpr UINT kLineFlags = DT_SINGLELINE | DT_NOPREFIX;

// A CALLBACK function: a lambda has the wrong calling convention on i686.
BOOL CALLBACK AddMonitorBox(HMONITOR, HDC, LPRECT bounds, LPARAM list) noexcept {
  try {
    reinterpret_cast<std::vector<Box>*>(list)->push_back(ToBox(*bounds));
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

std::vector<Box> MonitorBoxes() {
  std::vector<Box> boxes;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitorBox, reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

Box PrimaryWorkArea() {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToBox(work);
}

// A menu of the portable entries; pop-ups become sub-menus owned by their parents.
HMENU BuildMenu(const std::vector<TickerMenuItem>& items) {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (const TickerMenuItem& item : items) {
    switch (item.kind) {
      case TickerMenuItem::Kind::kSeparator: ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); break;
      case TickerMenuItem::Kind::kSubmenu:
        if (HMENU sub = BuildMenu(item.children))
          ::AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), W(item.text));
        break;
      case TickerMenuItem::Kind::kCommand:
        ::AppendMenuW(menu, MF_STRING | (item.command ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0),
                      item.command, W(item.text));
        if (item.isDefault) ::SetMenuDefaultItem(menu, item.command, FALSE);
        break;
    }
  }
  return menu;
}

}  // namespace

CTickerDlg::CTickerDlg(CChildView& view, Text settingsPath, Text programDirectory)
    : view_(view), settingsPath_(std::move(settingsPath)), programDirectory_(std::move(programDirectory)) {}

// Destroyed here, while it is still a ticker, so that it saves its place on the way.
CTickerDlg::~CTickerDlg() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

bool CTickerDlg::Create(HWND mainWindow, HINSTANCE instance) {
  mainWindow_ = mainWindow;
  instance_ = instance;
  if (!RegisterWindowClass(instance, kTickerWindowClass, nullptr, nullptr, CS_DBLCLKS)) return false;
  // Placed when it is created, from the settings file.
  if (!CreateWindowOfClass(kTickerWindowClass, kTickerCaption, WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN,
                           WS_EX_TOPMOST | WS_EX_TOOLWINDOW, RECT{0, 0, 0, 0}, mainWindow, nullptr, instance))
    return false;
  // A ticker that found nothing to show at its start has already asked to be closed.
  if (!closing_) ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  return true;
}

void CTickerDlg::CloseWhenIdle() {
  closeWhenIdle_ = true;
  if (menuOpen_) ::EndMenu();
}

LRESULT CTickerDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(++d) {}
    ~Depth() { --depth; }
  };
  LRESULT result = 0;
  {
    const Depth entered(depth_);
    result = Dispatch(message, wParam, lParam);
  }
  if (depth_ == 0 && closeWhenIdle_) {
    closeWhenIdle_ = false;
    AskToClose();
  }
  return result;
}

LRESULT CTickerDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE: OnSize(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // painting covers everything
    case WM_NCHITTEST: return OnHitTest(lParam);
    case WM_GETMINMAXINFO: {
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
      limits.ptMinTrackSize = POINT{Scaled(kTickerMinWidth), Height()};
      limits.ptMaxTrackSize.y = Height();
      return 0;
    }
    case kMsgDpiChanged: OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION) {
        OpenSitePage();
        return 0;
      }
      break;
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (lParam == -1) ::GetCursorPos(&at);  // from the keyboard
      ShowMenu(at);
      return 0;
    }
    // The whole window is its caption: a right click there is the menu's, not the system's (the
    // button going down would take the mouse for the system's own menu).
    case WM_NCRBUTTONDOWN: return 0;
    case WM_NCRBUTTONUP: ShowMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCloseButtonId) AskToClose();
      return 0;
    case WM_DRAWITEM: OnDrawCloseButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_KEYDOWN:
      if (wParam != VK_RETURN) break;
      // The default action: what a double click on the tray icon does.
      ::PostMessageW(mainWindow_, kMsgTrayNotify, 0, WM_LBUTTONDBLCLK);
      return 0;
    case kMsgRefreshAlpha:
      SetWindowAlpha(hwnd(), view_.Settings().notifyAlpha);
      ::InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case kMsgTickerNews: OnNews(wParam != 0); return 0;
    case WM_DESTROY: SavePosition(); return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

bool CTickerDlg::OnCreate() {
  const TickerPosition saved = ReadTickerPosition(CIniFile(settingsPath_));
  dpi_ = MonitorDpi(::MonitorFromPoint(POINT{saved.left, saved.top}, MONITOR_DEFAULTTOPRIMARY));
  if (!CreateFonts() || !CreateCloseButton()) return false;
  const int width = Scaled(saved.width);
  const Box place = PlaceTicker({saved.left, saved.top, saved.left + width, saved.top + Height()}, MonitorBoxes(),
                                PrimaryWorkArea(), static_cast<int32_t>(dpi_));
  ::SetWindowPos(hwnd(), HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(), SWP_NOACTIVATE);
  SetWindowAlpha(hwnd(), view_.Settings().notifyAlpha);
  ShowNextEntry();
  if (!closing_) ::SetTimer(hwnd(), kEntryTimer, TickerIntervalMilliseconds(view_.Settings().tickerInterval), nullptr);
  return true;
}

bool CTickerDlg::CreateFonts() {
  siteFont_ = CreateNoticeFont(kFontHeight, FW_BOLD, dpi_);
  titleFont_ = CreateNoticeFont(kFontHeight, FW_NORMAL, dpi_);
  return siteFont_ && titleFont_;
}

int CTickerDlg::Height() const {
  return TickerHeight(SystemMetricForDpi(SM_CYSIZEFRAME, dpi_), static_cast<int32_t>(dpi_));
}

// Moved to a monitor of another DPI: the system's place and width, the height and the fonts for
// the new DPI; the layout follows from the size change. A ticker is created on the primary monitor
// and then placed on its own, for whose DPI it is already laid out: the system's suggestion,
// scaled once more, is not taken then.
void CTickerDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  (void)CreateFonts();
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left, Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool CTickerDlg::CreateCloseButton() {
  closePicture_.reset(::LoadImageW(instance_, MAKEINTRESOURCEW(IDB_TICKER_CLOSE), IMAGE_BITMAP, 0, 0, 0));
  closePressedPicture_.reset(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(IDB_TICKER_CLOSE_PRESSED), IMAGE_BITMAP, 0, 0, 0));
  closeButton_ = ::CreateWindowExW(0, L"BUTTON", L"閉じる", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0,
                                   hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseButtonId)),
                                   instance_, nullptr);
  if (!closeButton_) return false;
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               hwnd(), nullptr, instance_, nullptr);
  if (tooltip_) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(closeButton_);
    tool.lpszText = const_cast<wchar_t*>(L"閉じる");
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return true;
}

// The background is made once per size; the window's region leaves its sizing frame out.
void CTickerDlg::OnSize() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  width_ = client.right;
  height_ = client.bottom;
  background_.reset();
  if (HDC screen = ::GetDC(hwnd())) {
    background_.reset(::CreateCompatibleBitmap(screen, std::max(width_, 1), std::max(height_, 1)));
    HDC dc = ::CreateCompatibleDC(screen);
    if (dc && background_) {
      HGDIOBJ previous = ::SelectObject(dc, background_.get());
      PaintNoticeBackground(dc, client, programDirectory_);
      ::SelectObject(dc, previous);
    }
    if (dc) ::DeleteDC(dc);
    ::ReleaseDC(hwnd(), screen);
  }
  POINT origin{0, 0};
  ::ClientToScreen(hwnd(), &origin);
  RECT window{};
  ::GetWindowRect(hwnd(), &window);
  const int x = origin.x - window.left;
  const int y = origin.y - window.top;
  // The system owns the region once it is set.
  ::SetWindowRgn(hwnd(), ::CreateRectRgn(x, y, x + width_, y + height_), TRUE);
  const Box button = TickerCloseButton(width_, static_cast<int32_t>(dpi_));
  if (closeButton_)
    ::SetWindowPos(closeButton_, nullptr, button.left, button.top, button.Width(), button.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CTickerDlg::OnPaint() {
  const BufferedPaint paint(hwnd());
  HDC dc = paint.dc();
  if (HDC source = background_ ? ::CreateCompatibleDC(dc) : nullptr) {
    HGDIOBJ previous = ::SelectObject(source, background_.get());
    ::BitBlt(dc, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
  } else {
    PaintNoticeBackground(dc, paint.client(), programDirectory_);
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, static_cast<COLORREF>(view_.Settings().notifyTextColor) & 0xFFFFFF);
  HGDIOBJ previous = ::SelectObject(dc, titleFont_.get());
  RECT title{TickerTitleLeft(width_, scrollStep_, static_cast<int32_t>(dpi_)), Scaled(kTitleTop),
             width_ - Scaled(kTitleRightMargin), height_};
  ::DrawTextW(dc, W(entry_.title), -1, &title, kLineFlags);
  ::SelectObject(dc, siteFont_.get());
  RECT site{Scaled(kSiteOrigin.x), Scaled(kSiteOrigin.y), width_ - Scaled(kSiteRightMargin), Scaled(kTitleTop)};
  ::DrawTextW(dc, W(entry_.siteName), -1, &site, kLineFlags);
  ::SelectObject(dc, previous);
}

// The whole window is its caption, so that it can be dragged anywhere; its side edges resize it.
LRESULT CTickerDlg::OnHitTest(LPARAM screenPoint) {
  POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ::ScreenToClient(hwnd(), &point);
  if (point.x < Scaled(kResizeEdge)) return HTLEFT;
  if (point.x >= width_ - Scaled(kResizeEdge)) return HTRIGHT;
  return HTCAPTION;
}

void CTickerDlg::OnTimer(UINT_PTR id) {
  if (closing_) return;
  if (id == kScrollTimer) {
    if (++scrollStep_ >= kTickerScrollSteps) {
      scrollStep_ = kTickerScrollSteps;
      ::KillTimer(hwnd(), kScrollTimer);
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    return;
  }
  if (id != kEntryTimer) return;
  // The entry stays while the user points at it or chooses from its menu.
  if (menuOpen_ || PointerOver(hwnd())) {
    ::SetTimer(hwnd(), kEntryTimer, kHoldMilliseconds, nullptr);
    return;
  }
  ShowNextEntry();
  if (!closing_) ::SetTimer(hwnd(), kEntryTimer, TickerIntervalMilliseconds(view_.Settings().tickerInterval), nullptr);
}

void CTickerDlg::OnDrawCloseButton(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != kCloseButtonId) return;
  const unique_hgdiobj& picture = (item.itemState & ODS_SELECTED) ? closePressedPicture_ : closePicture_;
  HDC source = picture ? ::CreateCompatibleDC(item.hDC) : nullptr;
  if (!source) {
    ::DrawFrameControl(item.hDC, const_cast<RECT*>(&item.rcItem), DFC_CAPTION,
                       DFCS_CAPTIONCLOSE | ((item.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    return;
  }
  // Drawn at 96 dpi, stretched to the button's size for the monitor.
  BITMAP drawn{};
  ::GetObjectW(picture.get(), sizeof drawn, &drawn);
  HGDIOBJ previous = ::SelectObject(source, picture.get());
  ::SetStretchBltMode(item.hDC, HALFTONE);
  ::StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
               item.rcItem.bottom - item.rcItem.top, source, 0, 0, drawn.bmWidth, drawn.bmHeight, SRCCOPY);
  ::SelectObject(source, previous);
  ::DeleteDC(source);
}

// News arriving while nothing could be shown is shown at once.
void CTickerDlg::OnNews(bool news) {
  news_ = news;
  if (news_ && !entry_.found && !closing_ && !menuOpen_) ShowNextEntry();
}

void CTickerDlg::ShowNextEntry() {
  const CChildView& view = view_;
  entry_ = NextTickerEntry(view.Folders(), cursor_, history_, view.Settings().portInUse,
                           [&view](const CItemBase& item) { return view.IdOfItem(&item); });
  news_ = entry_.news;
  if (!news_) return AskToClose();
  ::KillTimer(hwnd(), kScrollTimer);
  if (view.Settings().tickerScroll != 0) {
    scrollStep_ = 1;
    ::SetTimer(hwnd(), kScrollTimer, kScrollMilliseconds, nullptr);
  } else {
    scrollStep_ = kTickerScrollSteps;
  }
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CTickerDlg::ShowMenu(POINT screen) {
  if (closing_ || menuOpen_) return;
  const std::vector<TopFolderState> folders = TopFolderStates(view_);
  menuFolders_ = view_.TopLevelFolderIds();
  std::optional<size_t> current;
  for (size_t p = 0; p < menuFolders_.size(); ++p)
    if (entry_.found && menuFolders_[p] == entry_.folder) current = p;
  unique_hmenu menu(BuildMenu(BuildTickerMenu(entry_, history_, folders, current, ID_CLOSE_TICKER)));
  if (!menu) return;
  BringToFront(hwnd());
  menuOpen_ = true;
  const UINT command = static_cast<UINT>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                          screen.x, screen.y, 0, hwnd(), nullptr));
  menuOpen_ = false;
  // Without a message after the menu, it would not close when the user clicks elsewhere.
  ::PostMessageW(hwnd(), WM_NULL, 0, 0);
  if (command != 0 && !closeWhenIdle_) RunMenuCommand(command);
}

void CTickerDlg::RunMenuCommand(UINT command) {
  const auto& shown = history_.Entries();
  if (command == kTickerOpenSite) return OpenSitePage();
  if (command == ID_CLOSE_TICKER) return AskToClose();
  if (command >= kTickerHistoryFirst && command < kTickerHistoryFirst + shown.size()) {
    // An article's link is the feed's: one web address, or nothing is opened.
    const Text& link = shown[command - kTickerHistoryFirst].link;
    if (IsOpenableAddress(link)) view_.OpenInBrowser(link);
    return;
  }
  if (command >= kTickerFolderFirst && command < kTickerFolderFirst + menuFolders_.size()) {
    const ItemId id = menuFolders_[command - kTickerFolderFirst];
    if (!view_.ItemFromId(id)) return;  // deleted since the menu was shown
    const bool storedPage = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    view_.OpenInBrowser(ShowArticlesUrl(view_.Settings().portInUse, id, storedPage));
  }
}

void CTickerDlg::OpenSitePage() {
  if (entry_.found) view_.OpenInBrowser(entry_.siteUrl);
}

// Hidden at once; the main window deletes it. The window goes with the command, so that a
// request of a ticker already replaced closes nothing else.
void CTickerDlg::AskToClose() {
  // A window already gone has nothing to ask; a request without it would close any ticker.
  if (closing_ || !hwnd()) return;
  closing_ = true;
  ::KillTimer(hwnd(), kEntryTimer);
  ::KillTimer(hwnd(), kScrollTimer);
  ::ShowWindow(hwnd(), SW_HIDE);
  ::PostMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(ID_CLOSE_TICKER, 0), reinterpret_cast<LPARAM>(hwnd()));
}

void CTickerDlg::SavePosition() {
  if (::IsIconic(hwnd()) || ::IsZoomed(hwnd())) return;
  RECT bounds{};
  if (!::GetWindowRect(hwnd(), &bounds)) return;
  CIniFile settingsFile(settingsPath_);
  WriteTickerPosition(settingsFile, TickerPosition{bounds.left, bounds.top,
                                                   ScaleFromDpi(bounds.right - bounds.left, static_cast<int32_t>(dpi_))});
}
