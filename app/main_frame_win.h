// The main window: hidden at start-up, found by other processes by class and title, hosts the
// central view and receives the requests of second copies and bands.
#pragma once

#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include <windows.h>

#include <memory>

#include "app/directories.h"
#include "ui/child_view_win.h"
#include "util/window_win.h"

class CMainFrame : public CWindow {
 public:
  explicit CMainFrame(AppDirectories directories);
  ~CMainFrame() override;

  // Registers the class and creates the window (and with it the view) without showing it.
  bool LoadFrame(HINSTANCE instance);

  CChildView* View() const { return view_.get(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OnCreate();
  void OnSize();
  void OnClose();
  void OnDestroy();
  bool OnSysCommand(WPARAM command);
  bool OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnRequest(WPARAM command, LPARAM argument);
  LRESULT OnRegisterUrl(WPARAM heapText);
  void OnCheckingState(bool checking);
  void OnTimer(UINT_PTR id);

  bool IsDialogOpen() const;
  void ShowAndBringToFront();
  Text SettingsPath() const;

  AppDirectories directories_;
  HINSTANCE instance_ = nullptr;
  std::unique_ptr<CChildView> view_;
  UINT requestMessage_ = 0;
  bool checkingTick_ = false;

  static constexpr UINT_PTR kCheckingTimer = 10;
  static constexpr UINT kCheckingTimerMilliseconds = 750;
};
