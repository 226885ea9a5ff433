// The ticker: a thin topmost strip that shows the new articles one at a time, sliding each title
// in from the right, with a context menu of the articles shown, the folders and "閉じる". It
// never deletes itself: it asks the main window to (command ID_CLOSE_TICKER), which owns it.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "ui/notify_geometry.h"
#include "ui/ticker_walk.h"
#include "util/dpi_scale.h"
#include "util/text.h"
#include "util/unique_handle_win.h"
#include "util/window_win.h"

class CChildView;

inline constexpr wchar_t kTickerWindowClass[] = L"pelun_ticker";
inline constexpr wchar_t kTickerCaption[] = L"pelunティッカー";

class CTickerDlg : public CWindow {
 public:
  // The view gives the articles, the settings (read live) and the browser; it outlives the
  // ticker. The position and width are kept in the settings file's section "Ticker".
  CTickerDlg(CChildView& view, Text settingsPath, Text programDirectory);
  ~CTickerDlg() override;

  bool Create(HWND mainWindow, HINSTANCE instance);

  // One of the ticker's messages is being handled (its menu may be open): deleting it now would
  // pull the object from under its own code.
  bool IsBusy() const { return depth_ > 0; }
  // Closes the menu, if any, and asks the main window again once the ticker is free.
  void CloseWhenIdle();
  // It has asked to be closed, or will.
  bool IsClosing() const { return closing_ || closeWhenIdle_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  bool CreateFonts();
  bool CreateCloseButton();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  int Height() const;
  int Scaled(int length) const { return ScaleToDpi(length, static_cast<int32_t>(dpi_)); }
  void OnSize();
  void OnPaint();
  LRESULT OnHitTest(LPARAM screenPoint);
  void OnTimer(UINT_PTR id);
  void OnDrawCloseButton(const DRAWITEMSTRUCT& item);
  void OnNews(bool news);
  void ShowNextEntry();
  void ShowMenu(POINT screen);
  void RunMenuCommand(UINT command);
  void OpenSitePage();
  void AskToClose();
  void SavePosition();

  CChildView& view_;
  Text settingsPath_;
  Text programDirectory_;
  HWND mainWindow_ = nullptr;
  HINSTANCE instance_ = nullptr;
  std::vector<ItemId> menuFolders_;  // the top-level folders of the last menu, in its order
  TickerCursor cursor_;
  bool news_ = false;
  bool menuOpen_ = false;
  TickerHistory history_;
  TickerEntry entry_;
  unique_hgdiobj siteFont_;
  unique_hgdiobj titleFont_;
  int width_ = 0;  // client size
  int height_ = 0;
  UINT dpi_ = kBaseDpi;  // of the monitor it is on; the saved width is at 96 dpi
  unique_hgdiobj background_;
  int scrollStep_ = kTickerScrollSteps;
  HWND closeButton_ = nullptr;  // children: destroyed with the window
  HWND tooltip_ = nullptr;
  unique_hgdiobj closePicture_;
  unique_hgdiobj closePressedPicture_;
  int depth_ = 0;
  bool closeWhenIdle_ = false;
  bool closing_ = false;
};
