// The start-up shortcut that starts the main program at log-on, through the shell link object.
#pragma once

#include "util/text.h"

// Target program folder + "\pelun.exe", working directory the folder, normal window; replaces
// an existing shortcut. Nothing when the program or the start-up folder is missing.
void CreateStartupShortcut(const Text& programFolder);
void DeleteStartupShortcut();
