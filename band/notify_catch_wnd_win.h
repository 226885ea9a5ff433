// The band's hidden top-level window that receives the main program's news broadcast (a
// child in the browser's rebar would not be found by its enumeration of top-level windows).
#pragma once

#include "util/window_win.h"

class CNotifyCatchWnd final : public CWindow {
 public:
  // False when the class cannot be registered or the window not made; the toolbar then works
  // without the broadcast.
  [[nodiscard]] bool Create(HWND toolbar);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND toolbar_ = nullptr;
};

// The registered news message.
UINT NewsMessage();
void UnregisterCatchWindowClass();
