#include "band/notify_catch_wnd_win.h"

#include "band/band_module_win.h"
#include "shared/names.h"
#include "util/wide_win.h"

UINT NewsMessage() { return ::RegisterWindowMessageW(W(kNewsMessageName)); }

void UnregisterCatchWindowClass() { ::UnregisterClassW(W(kBandCatchWindowClass), BandModule()); }

// A second browser window of the same process finds the class registered already, which
// counts as success: it must follow the broadcast too.
bool CNotifyCatchWnd::Create(HWND toolbar) {
  toolbar_ = toolbar;
  if (!RegisterWindowClass(BandModule(), W(kBandCatchWindowClass), nullptr, nullptr,
                           CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS))
    return false;
  return CreateWindowOfClass(W(kBandCatchWindowClass), W(kBandCatchWindowTitle), WS_POPUP, 0, RECT{}, toolbar,
                             nullptr, BandModule());
}

LRESULT CNotifyCatchWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == NewsMessage() && message != 0) {
    ::PostMessageW(toolbar_, message, wParam, lParam);
    return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}
