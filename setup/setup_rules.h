// What setup.exe decides without the platform: the mode of its command line and the place of
// the start-up shortcut.
#pragma once

#include "util/text.h"

enum class SetupMode { kInstall, kUninstall, kWindow };

// The text after the program name, trimmed, compared ignoring case; anything else is the window.
SetupMode SetupModeOf(TextView commandLine);

// The start-up shortcut "pelun.lnk" in the given start-up folder.
Text StartupShortcutPath(TextView startupFolder);
