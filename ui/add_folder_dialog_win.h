// The new-folder dialog: asks for the name of a folder.
#pragma once

#include <windows.h>

#include "util/text.h"

struct AddFolderDialogData {
  Text name;  // in: proposed; out: what the user typed
};

// Modal; true on OK, with data.name filled in.
bool RunAddFolderDialog(HWND owner, HINSTANCE instance, AddFolderDialogData& data);
