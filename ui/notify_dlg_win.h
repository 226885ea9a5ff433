// The notification pop-up: a small topmost window in a corner of the screen with the notice of
// new articles and two buttons, "表示する" and "閉じる". It never deletes itself: it asks the
// main window to (command ID_CLOSE_POPUP), which owns it.
#pragma once

#include <windows.h>

#include "store/settings.h"
#include "util/dpi_scale.h"
#include "util/text.h"
#include "util/unique_handle_win.h"
#include "util/window_win.h"

inline constexpr wchar_t kNotifyWindowClass[] = L"pelun_notify_popup";

class CNotifyDlg : public CWindow {
 public:
  // The settings are the view's, read live; they outlive the pop-up.
  CNotifyDlg(const CSettings& settings, Text programDirectory);

  // Creates the pop-up owned by the main window and shows it without activating it.
  bool Show(HWND mainWindow, HINSTANCE instance, const Text& title, const Text& text);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OnCreate();
  void OnPaint();
  int Scaled(int length) const { return ScaleToDpi(length, static_cast<int32_t>(dpi_)); }
  void OnTimer();
  void OnCommand(UINT id);
  void AskToClose();

  const CSettings& settings_;
  Text programDirectory_;
  HWND mainWindow_ = nullptr;
  Text text_;
  Text title_;
  int32_t displaySeconds_ = 0;
  int32_t position_ = 0;
  int32_t elapsedSeconds_ = 0;
  unique_hgdiobj bodyFont_;
  unique_hgdiobj titleFont_;
  int width_ = 0;
  int height_ = 0;
  UINT dpi_ = kBaseDpi;  // of the monitor it is shown on
  bool closing_ = false;
};
