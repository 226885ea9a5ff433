#include "ui/notify_dlg_win.h"

#include "app/private_messages.h"
#include "ui/notice_window_win.h"
#include "ui/notify_geometry.h"
#include "util/dpi_win.h"
#include "util/wide_win.h"

namespace {

constexpr int kBodyFontHeight = 12;
constexpr int kTitleFontHeight = 13;
constexpr UINT_PTR kDisplayTimer = 1;
constexpr UINT kDisplayTickMilliseconds = 1000;
constexpr int kShowButton = 1;
constexpr int kCloseButton = 2;
constexpr POINT kBodyOrigin{15, 32};
constexpr POINT kTitleOrigin{30, 10};
constexpr int kTextRightMargin = 10;
constexpr POINT kIconOrigin{8, 8};
constexpr UINT kBodyFlags = DT_NOPREFIX;

}  // namespace

CNotifyDlg::CNotifyDlg(const CSettings& settings, Text programDirectory)
    : settings_(settings), programDirectory_(std::move(programDirectory)) {}

bool CNotifyDlg::Show(HWND mainWindow, HINSTANCE instance, const Text& title, const Text& text) {
  mainWindow_ = mainWindow;
  title_ = title;
  text_ = text;
  displaySeconds_ = settings_.notifySec;
  position_ = settings_.notifyPos;
  elapsedSeconds_ = 0;
  if (!RegisterWindowClass(instance, kNotifyWindowClass, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW)) return false;
  // Sized and placed when it is created, from its measured text.
  if (!CreateWindowOfClass(kNotifyWindowClass, W(title_), WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                           RECT{0, 0, 0, 0}, mainWindow, nullptr, instance))
    return false;
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  return true;
}

LRESULT CNotifyDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // painting covers everything
    case WM_TIMER:
      if (wParam == kDisplayTimer) OnTimer();
      return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    // Laid out for the monitor of the tray, where it stays: being moved there from where it was
    // created changes nothing.
    case kMsgDpiChanged: return 0;
    case kMsgRefreshAlpha:
      SetWindowAlpha(hwnd(), settings_.notifyAlpha);
      ::InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

bool CNotifyDlg::OnCreate() {
  HMONITOR monitor = TaskbarMonitor();
  dpi_ = MonitorDpi(monitor);
  bodyFont_ = CreateNoticeFont(kBodyFontHeight, FW_NORMAL, dpi_);
  titleFont_ = CreateNoticeFont(kTitleFontHeight, FW_BOLD, dpi_);
  if (!bodyFont_ || !titleFont_) return false;
  HDC dc = ::GetDC(hwnd());
  if (!dc) return false;
  const Extent body = MeasureText(dc, static_cast<HFONT>(bodyFont_.get()), text_, kBodyFlags);
  const Extent title = MeasureText(dc, static_cast<HFONT>(titleFont_.get()), title_, kBodyFlags);
  ::ReleaseDC(hwnd(), dc);

  const auto dpi = static_cast<int32_t>(dpi_);
  const Box place = PlacePopup(position_, TrayWorkArea(), PopupSize(body, title, dpi), dpi);
  width_ = place.Width();
  height_ = place.Height();
  const PopupButtons buttons = PopupButtonBoxes({width_, height_}, dpi);
  const auto makeButton = [&](const wchar_t* label, int id, const Box& box, DWORD style) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, box.left,
                                    box.top, box.Width(), box.Height(), hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (button) ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(bodyFont_.get()), FALSE);
    return button != nullptr;
  };
  if (!makeButton(L"表示する", kShowButton, buttons.show, BS_DEFPUSHBUTTON) ||
      !makeButton(L"閉じる", kCloseButton, buttons.close, BS_PUSHBUTTON))
    return false;
  ::SetWindowPos(hwnd(), HWND_TOPMOST, place.left, place.top, width_, height_, SWP_NOACTIVATE);
  SetWindowAlpha(hwnd(), settings_.notifyAlpha);
  if (displaySeconds_ != 0) ::SetTimer(hwnd(), kDisplayTimer, kDisplayTickMilliseconds, nullptr);
  return true;
}

void CNotifyDlg::OnPaint() {
  const BufferedPaint paint(hwnd());
  HDC dc = paint.dc();
  PaintNoticeBackground(dc, paint.client(), programDirectory_);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, static_cast<COLORREF>(settings_.notifyTextColor) & 0xFFFFFF);
  HGDIOBJ previous = ::SelectObject(dc, bodyFont_.get());
  RECT body{Scaled(kBodyOrigin.x), Scaled(kBodyOrigin.y), width_ - Scaled(kTextRightMargin), height_};
  ::DrawTextW(dc, W(text_), -1, &body, kBodyFlags);
  ::SelectObject(dc, titleFont_.get());
  RECT title{Scaled(kTitleOrigin.x), Scaled(kTitleOrigin.y), width_ - Scaled(kTextRightMargin), height_};
  ::DrawTextW(dc, W(title_), -1, &title, kBodyFlags);
  ::SelectObject(dc, previous);
  const int iconSize = SystemMetricForDpi(SM_CXSMICON, dpi_);
  ::DrawIconEx(dc, Scaled(kIconOrigin.x), Scaled(kIconOrigin.y), ::LoadIconW(nullptr, IDI_INFORMATION), iconSize,
               iconSize, 0, nullptr, DI_NORMAL);
}

// The display time counts whole seconds; once it is over, every tick closes the pop-up unless
// the user is pointing at it.
void CNotifyDlg::OnTimer() {
  if (elapsedSeconds_ < displaySeconds_) {
    ++elapsedSeconds_;
    return;
  }
  if (!PointerOver(hwnd())) AskToClose();
}

void CNotifyDlg::OnCommand(UINT id) {
  if (id == kShowButton) {
    // What a double click on the tray icon does.
    ::PostMessageW(mainWindow_, kMsgTrayNotify, 0, WM_LBUTTONDBLCLK);
    AskToClose();
  } else if (id == kCloseButton) {
    AskToClose();
  }
}

// Hidden at once; the main window deletes it. The window goes with the command, so that a
// request of a pop-up already replaced closes nothing else.
void CNotifyDlg::AskToClose() {
  if (closing_) return;
  closing_ = true;
  ::KillTimer(hwnd(), kDisplayTimer);
  ::ShowWindow(hwnd(), SW_HIDE);
  ::PostMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(ID_CLOSE_POPUP, 0), reinterpret_cast<LPARAM>(hwnd()));
}
