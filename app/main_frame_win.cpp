#include "app/main_frame_win.h"

#include "app/private_messages.h"
#include "app/profile_file.h"
#include "app/resource.h"
#include "app/settings.h"
#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/code_page.h"
#include "util/wide_win.h"

CMainFrame::CMainFrame(AppDirectories directories) : directories_(std::move(directories)) {}

CMainFrame::~CMainFrame() = default;

Text CMainFrame::SettingsPath() const { return directories_.data + kSettingsFileName; }

bool CMainFrame::LoadFrame(HINSTANCE instance) {
  instance_ = instance;
  requestMessage_ = ::RegisterWindowMessageW(W(kRequestMessageName));
  if (!RegisterWindowClass(instance, W(kMainWindowClass), nullptr, nullptr,
                           CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS))
    return false;
  wchar_t title[64] = {};
  if (!::LoadStringW(instance, IDS_MAINFRAME_TITLE, title, 64)) return false;
  const MainWindowPosition position = ReadMainWindowPosition(CIniFile(SettingsPath()));
  const RECT bounds{position.left, position.top, position.left + position.width,
                    position.top + position.height};
  const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  return CreateWindowOfClass(W(kMainWindowClass), title, style, 0, bounds, nullptr, nullptr,
                             instance);
}

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == requestMessage_ && requestMessage_ != 0) return OnRequest(wParam, lParam);
  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS:
      if (view_ && view_->hwnd()) ::SetFocus(view_->hwnd());
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SYSCOMMAND:
      if (OnSysCommand(wParam)) return 0;
      break;
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      break;
    case kMsgRegisterUrl: return OnRegisterUrl(wParam);
    case kMsgCheckingState: OnCheckingState(wParam != 0); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_POWERBROADCAST:
      return view_ && view_->hwnd() ? ::SendMessageW(view_->hwnd(), message, wParam, lParam) : TRUE;
  }
  return DefaultHandling(message, wParam, lParam);
}

bool CMainFrame::OnCreate() {
  const HICON icon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  view_ = std::make_unique<CChildView>(directories_);
  return view_->Create(hwnd(), instance_);
}

void CMainFrame::OnSize() {
  if (!view_ || !view_->hwnd()) return;
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  ::MoveWindow(view_->hwnd(), 0, 0, client.right, client.bottom, TRUE);
}

// The exit path: the view saves and cleans up, then the frame goes and the program ends.
void CMainFrame::OnClose() {
  if (view_ && view_->hwnd()) ::SendMessageW(view_->hwnd(), WM_CLOSE, 0, 0);
  ::DestroyWindow(hwnd());
}

void CMainFrame::OnDestroy() {
  if (!::IsIconic(hwnd()) && !::IsZoomed(hwnd())) {
    RECT bounds{};
    ::GetWindowRect(hwnd(), &bounds);
    CIniFile settingsFile(SettingsPath());
    WriteMainWindowPosition(settingsFile, MainWindowPosition{bounds.left, bounds.top,
                                                             bounds.right - bounds.left,
                                                             bounds.bottom - bounds.top});
  }
  ::PostQuitMessage(0);
}

// While a cycle runs, the checking timer also drives the timeout scan on every second tick.
// (The tray animation on the same timer comes with the tray icon.)
void CMainFrame::OnCheckingState(bool checking) {
  if (checking) {
    ::SetTimer(hwnd(), kCheckingTimer, kCheckingTimerMilliseconds, nullptr);
  } else {
    ::KillTimer(hwnd(), kCheckingTimer);
  }
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id != kCheckingTimer) return;
  if (!view_ || !view_->IsChecking()) {
    ::KillTimer(hwnd(), kCheckingTimer);
    return;
  }
  checkingTick_ = !checkingTick_;
  if (checkingTick_) view_->TimeoutScan();
}

// Minimising or closing from the system menu only hides the window; the state is saved.
bool CMainFrame::OnSysCommand(WPARAM command) {
  const WPARAM which = command & 0xFFF0;
  if (which != SC_MINIMIZE && which != SC_CLOSE) return false;
  ::ShowWindow(hwnd(), SW_HIDE);
  if (view_) (void)view_->SaveSettingsAndData();
  return true;
}

bool CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kCmdAppExit: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); return true;
    case kCmdShowMainWindow: ShowAndBringToFront(); return true;
  }
  // Everything else belongs to the view first.
  if (view_ && view_->hwnd()) {
    ::SendMessageW(view_->hwnd(), WM_COMMAND, wParam, lParam);
    return true;
  }
  return false;
}

LRESULT CMainFrame::OnRequest(WPARAM command, LPARAM argument) {
  if (command != static_cast<WPARAM>(RequestCommand::kForwardCommandLine)) return 0;
  if (argument == 0) return 0;
  auto ansi = TakeSharedTextBlock(reinterpret_cast<HANDLE>(argument));
  if (!ansi) return 0;
  auto text = FromSystemCodePage(*ansi);
  if (!text) return 0;
  auto heapText = std::make_unique<char16_t[]>(text->size() + 1);
  std::copy(text->begin(), text->end(), heapText.get());
  // The receiver of the private message owns the buffer from here on.
  return ::SendMessageW(hwnd(), kMsgRegisterUrl, reinterpret_cast<WPARAM>(heapText.release()), 0);
}

// A window of ours other than the main window is active: some dialog is open. The pop-up and
// the ticker do not count; they arrive with the notices.
bool CMainFrame::IsDialogOpen() const {
  HWND active = ::GetLastActivePopup(hwnd());
  return active != nullptr && active != hwnd();
}

LRESULT CMainFrame::OnRegisterUrl(WPARAM heapText) {
  std::unique_ptr<char16_t[]> text(reinterpret_cast<char16_t*>(heapText));
  if (!text || IsDialogOpen()) return 0;
  const TextView forwarded(text.get());
  // A running copy also obeys the program's own switches, so that scripts can end or refresh it.
  if (forwarded == u"/exit") {
    ::PostMessageW(hwnd(), WM_COMMAND, kCmdAppExit, 0);
    return 1;
  }
  if (forwarded == u"/reload") {
    ::PostMessageW(hwnd(), WM_COMMAND, kCmdCheckAll, 0);
    return 1;
  }
  ShowAndBringToFront();
  char16_t* handedOver = text.release();
  if (!::PostMessageW(view_->hwnd(), kMsgRegisterUrl, reinterpret_cast<WPARAM>(handedOver), 0)) {
    delete[] handedOver;
    return 0;
  }
  return 1;
}

// Shown normally and made the foreground window; the input of the current foreground thread is
// attached for the switch, since the system refuses it to a background process otherwise.
void CMainFrame::ShowAndBringToFront() {
  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = ::GetCurrentThreadId();
  const bool attach = foregroundThread != 0 && foregroundThread != ownThread &&
                      ::AttachThreadInput(ownThread, foregroundThread, TRUE);
  ::SetForegroundWindow(hwnd());
  ::BringWindowToTop(hwnd());
  if (attach) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
}
