// Rules for the program's command line, without the platform.
#pragma once

#include "util/text.h"

enum class CommandLineAction { kRun, kExit };

// Walks the space-separated fields in order: "/exit" ends the program at once, "/reload" stops
// the walk. Both comparisons are exact.
CommandLineAction WalkCommandLine(TextView commandLine);

// Whether a command line is worth handing to the running copy: an absolute address (a scheme,
// "://" and a host) or a text whose first character is "/".
bool ShouldForwardCommandLine(TextView commandLine);
