// The shortcut that starts the program when the user logs on: "pelun.lnk" in the user's
// start-up folder. The options of the program and setup write and delete the same file.
#pragma once

#include "util/text.h"

bool StartupShortcutExists();
// Points the shortcut at "pelun.exe" in the program folder (also the working folder). Nothing
// happens when the program file or the start-up folder is missing; false when writing failed.
bool WriteStartupShortcut(const Text& programDirectory);
// True when no shortcut is left.
bool DeleteStartupShortcut();
