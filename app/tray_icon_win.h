// The program's entry in the notification area: one icon with a tooltip, whose picture
// changes with the check state, and the balloons that announce new articles.
#pragma once

#include <windows.h>

#include <map>

#include "util/text.h"
#include "util/unique_handle_win.h"

class CTrayIcon {
 public:
  CTrayIcon(HWND window, UINT callbackMessage, HINSTANCE instance);
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // A failure is not reported: the shell may not be there yet, and "TaskbarCreated" adds the
  // entry again when it comes.
  void Add(UINT iconId);
  void Change(UINT iconId);
  // Changes the picture and shows a balloon with the information icon; texts are cut to the
  // balloon's limits.
  void ChangeWithBalloon(UINT iconId, TextView text, TextView title, UINT timeoutMilliseconds);
  void Remove();
  // The pictures again at the small icon size of now (the DPI changed), showing `iconId`.
  void Refresh(UINT iconId);

 private:
  NOTIFYICONDATAW Data(UINT flags, UINT iconId);
  HICON Icon(UINT iconId);

  HWND window_;
  UINT callbackMessage_;
  HINSTANCE instance_;
  bool balloons_;  // the full structure and balloons from Windows 2000 on
  bool added_ = false;
  std::map<UINT, unique_hicon> icons_;
};
