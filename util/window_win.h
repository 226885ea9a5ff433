// The one window base class: owns its HWND, routes messages to a virtual handler.
#pragma once

#include <windows.h>

#include <memory>

#include "util/text.h"

class CWindow {
 public:
  CWindow() = default;
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;
  virtual ~CWindow();

  HWND hwnd() const noexcept { return hwnd_; }

  // Registers a window class whose procedure dispatches to CWindow objects.
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon = nullptr,
                                  HBRUSH background = nullptr, UINT style = 0);

 protected:
  // Creates the window; `this` travels in the creation parameter and is bound at WM_NCCREATE.
  bool CreateWindowOfClass(const wchar_t* className, const wchar_t* title, DWORD style,
                           DWORD exStyle, RECT bounds, HWND parent, HMENU menuOrId,
                           HINSTANCE instance);

  // Handles one message; the default is DefWindowProc. Called inside a noexcept boundary.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  HWND hwnd_ = nullptr;
};

// Text handed to another window in a posted message: a heap copy goes as the word parameter,
// and the receiver takes it over with TakeHeapText, which frees it on every path.
[[nodiscard]] bool PostHeapText(HWND window, UINT message, TextView text, LPARAM lParam);
inline std::unique_ptr<char16_t[]> TakeHeapText(WPARAM wParam) {
  return std::unique_ptr<char16_t[]>(reinterpret_cast<char16_t*>(wParam));
}

// True when the thread of `window` takes a message within a short wait.
bool TakesMessagesPromptly(HWND window);

// Makes `window` the foreground window. The input of the current foreground thread is attached
// for the switch, since the system refuses it to a background process otherwise.
void BringToFront(HWND window);
