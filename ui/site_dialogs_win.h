// The small dialogs of registering a site: the address with its destination, and the user name
// and password a site asks for. Both are modal and owned by the window given, so that the main
// window knows a dialog is open.
#pragma once

#include <windows.h>

#include <vector>

#include "util/text.h"

struct AddSiteDialogData {
  Text url;                       // in: proposed; out: as entered
  std::vector<Text> folderNames;  // in: the destinations after "カーソル位置"
  int target = 0;                 // out: 0 = the caller's place, k = folderNames[k - 1]
};

struct UserDialogData {
  Text user;      // in and out
  Text password;  // out, in clear
};

// False when cancelled.
[[nodiscard]] bool RunAddSiteDialog(HWND owner, HINSTANCE instance, AddSiteDialogData& data);
[[nodiscard]] bool RunUserDialog(HWND owner, HINSTANCE instance, UserDialogData& data);
