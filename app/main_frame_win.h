// The main window: hidden at start-up, lives in the tray, hosts the central view with a
// toolbar and a status bar, announces new articles, and answers the requests of second
// copies and toolbar bands.
#pragma once

#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include <windows.h>

#include <memory>
#include <vector>

#include "app/directories.h"
#include "app/tray_icon_win.h"
#include "app/tray_texts.h"
#include "ui/child_view_win.h"
#include "ui/notify_dlg_win.h"
#include "ui/ticker_dlg_win.h"
#include "util/unique_handle_win.h"
#include "util/window_win.h"

class CMainFrame : public CWindow {
 public:
  explicit CMainFrame(AppDirectories directories);
  ~CMainFrame() override;

  // Registers the class and creates the window (and with it the view) without showing it.
  bool LoadFrame(HINSTANCE instance);
  // The keyboard shortcuts of the main window; true when the message was consumed.
  bool TranslateAccelerator(MSG& message) const;

  CChildView* View() const { return view_.get(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Creation and layout (main_frame_win.cpp).
  bool OnCreate();
  bool CreateToolbar();
  bool CreateRebar();
  bool CreateStatusBar();
  void FitToolbarBand();
  // Pictures, fonts and icons for the DPI of the monitor the window is on.
  void ApplyDpi(UINT dpi);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnSize();
  LRESULT OnNotify(const NMHDR& header);
  void ShowNewDropDown(const NMTOOLBARW& button);
  void OnClose();
  void OnDestroy();
  bool OnSysCommand(WPARAM command);
  LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
  bool OnCommand(WPARAM wParam, LPARAM lParam);
  void ShowAboutBox();
  void ShowAndBringToFront();
  bool IsDialogOpen() const;
  Text SettingsPath() const;

  // Tray icon, tray menu, notices and the animation (main_frame_tray_win.cpp).
  void OnTrayNotify(LPARAM event);
  void ShowTrayMenu();
  bool OnTrayFolderCommand(UINT command);
  void OnCheckingState(bool checking, LPARAM updatedSites);
  void AnnounceNews(UINT icon, uint32_t updatedSites);
  void OnTimer(UINT_PTR id);
  void OnAnimationTick();
  void OnTaskbarCreated();
  void OpenNotifyPopup(const NewsNotice& notice);
  void OpenTicker();
  // `requester` 0 closes whatever is open; a window closes only itself, so that the request
  // of one already replaced closes nothing else.
  void CloseNotifyPopup(HWND requester = nullptr);
  void CloseTicker(HWND requester = nullptr);
  // The pop-up and the ticker are the program's own notices, not dialogs waiting for an answer.
  bool IsNotice(HWND window) const;
  void OnRefreshAlpha();

  // The request message of second copies and bands (main_frame_requests_win.cpp).
  LRESULT OnRequest(WPARAM command, LPARAM argument);
  LRESULT AnswerWithText(const Text& text, HWND requester) const;
  LRESULT OnRegisterUrl(WPARAM heapText, LPARAM source);

  AppDirectories directories_;
  HINSTANCE instance_ = nullptr;
  std::unique_ptr<CChildView> view_;
  HWND rebar_ = nullptr;  // child windows: destroyed with the frame
  HWND toolbar_ = nullptr;
  HWND statusBar_ = nullptr;
  unique_himagelist toolbarImages_;
  unique_hgdiobj barFont_;
  unique_hicon bigIcon_;
  unique_hicon smallIcon_;
  HACCEL accelerators_ = nullptr;  // from the resources: freed by the system
  std::unique_ptr<CTrayIcon> tray_;
  // After the view, whose settings and folders they read: they go first.
  std::unique_ptr<CNotifyDlg> notifyPopup_;
  std::unique_ptr<CTickerDlg> ticker_;

  UINT requestMessage_ = 0;
  UINT newsMessage_ = 0;
  UINT taskbarCreatedMessage_ = 0;
  UINT trayIconId_ = kTrayIconIdle;
  bool animationShowsSecond_ = false;
  // Folders of the last tray menu in menu order, by id: a folder deleted since resolves to
  // nothing.
  std::vector<ItemId> trayFolders_;

  static constexpr UINT_PTR kAnimationTimer = 10;
  static constexpr UINT kAnimationMilliseconds = 750;
  static constexpr UINT_PTR kSingleClickTimer = 11;
  static constexpr UINT kSingleClickMilliseconds = 1000;
  static constexpr UINT kStartupBalloonMilliseconds = 5000;
};
