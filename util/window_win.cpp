#include "util/window_win.h"

#include <algorithm>

#include "util/dpi_win.h"
#include "util/nesting_guard_win.h"

namespace {

// How long the foreground program has to take a message before its input is joined with ours.
constexpr UINT kForegroundAnswerMilliseconds = 250;

}  // namespace

CWindow::~CWindow() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

bool CWindow::RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon,
                                  HBRUSH background, UINT style) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &CWindow::WindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindow::CreateWindowOfClass(const wchar_t* className, const wchar_t* title, DWORD style,
                                  DWORD exStyle, RECT bounds, HWND parent, HMENU menuOrId,
                                  HINSTANCE instance) {
  HWND created = ::CreateWindowExW(exStyle, className, title, style, bounds.left, bounds.top,
                                   bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                   menuOrId, instance, this);
  return created != nullptr && created == hwnd_;
}

LRESULT CWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultHandling(message, wParam, lParam);
}

LRESULT CWindow::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<CWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ScaleNonClientArea(window);
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  const NestingGuard nesting(window, reinterpret_cast<const void*>(&CWindow::WindowProcedure));
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's dispatcher. A creation that threw fails: a window
    // that is half set up (a view whose data did not load whole) must never come to run and save.
    if (message == WM_NCCREATE)
      result = FALSE;
    else if (message == WM_CREATE)
      result = -1;
    else
      result = ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

bool PostHeapText(HWND window, UINT message, TextView text, LPARAM lParam) {
  auto copy = std::make_unique<char16_t[]>(text.size() + 1);
  std::copy(text.begin(), text.end(), copy.get());
  if (!::PostMessageW(window, message, reinterpret_cast<WPARAM>(copy.get()), lParam)) return false;
  copy.release();  // the receiver's now
  return true;
}

bool TakesMessagesPromptly(HWND window) {
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kForegroundAnswerMilliseconds,
                               nullptr) != 0;
}

// Joined input is shared input: the switch then waits on the foreground program's answers to its
// activation messages, for ever if that program hangs. A program that does not take a message
// promptly is left alone; the switch may then only flash our task-bar button.
void BringToFront(HWND window) {
  HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = ::GetCurrentThreadId();
  const bool attach = foregroundThread != 0 && foregroundThread != ownThread && TakesMessagesPromptly(foreground) &&
                      ::AttachThreadInput(ownThread, foregroundThread, TRUE);
  ::SetForegroundWindow(window);
  ::BringWindowToTop(window);
  if (attach) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
}
