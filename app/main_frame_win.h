// The hidden main window: found by other processes by class and title, receives their requests.
#pragma once

#include <windows.h>

#include "util/window_win.h"

class CMainFrame : public CWindow {
 public:
  // Registers the class and creates the window without showing it.
  bool LoadFrame(HINSTANCE instance);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnRequest(WPARAM command, LPARAM argument);
  LRESULT OnRegisterUrl(WPARAM heapText);
  void OnDestroy();

  UINT requestMessage_ = 0;
};
