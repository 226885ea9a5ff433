// The band module: its instance, its lock count and its path.
#pragma once

#include <windows.h>

#include "util/text.h"

HINSTANCE BandModule();
// Objects, class factories and rebar hooks each hold the module; it may unload only at zero.
void LockBandModule();
void UnlockBandModule();
// Full path of the module file.
Text BandModulePath();
