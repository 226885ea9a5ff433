// The setup window: registers or unregisters the toolbar band of the program folder.
#pragma once

#include <windows.h>

#include "util/text.h"

struct SetupDialogData {
  Text programFolder;  // without a trailing backslash
};

void RunSetupDialog(HINSTANCE instance, SetupDialogData& data);
