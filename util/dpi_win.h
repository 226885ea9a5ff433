// The DPI of windows and monitors, and what is sized by it: system metrics, the user-interface
// font and the pictures drawn at several sizes. The per-monitor functions come with newer
// Windows (8.1, 10 version 1607) and are looked up at run time; without them every window has
// the system's one DPI, as it does there.
#pragma once

#include <windows.h>

#include <array>

#include "util/dpi_scale.h"
#include "util/unique_handle_win.h"

// WM_DPICHANGED, which the headers give only for newer targets than ours: a top-level window
// moved to a monitor of another DPI, or that monitor's scaling changed. The word parameter's
// high word is the new DPI, the long parameter the suggested window rectangle.
inline constexpr UINT kMsgDpiChanged = 0x02E0;

UINT SystemDpi();
UINT WindowDpi(HWND window);
UINT MonitorDpi(HMONITOR monitor);

// GetSystemMetrics as it is for a window at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);

// Asks for the caption and menu bar of a new top-level window to be scaled with its monitor's
// DPI: per-monitor awareness v1 (Windows 8.1 to 10 version 1607) does it only when asked, v2 by
// itself. Called while the window is being created.
void ScaleNonClientArea(HWND window);

// The monitor that holds the task bar and its tray (the primary one without it).
HMONITOR TaskbarMonitor();

// The font the shell gives icon labels, for `dpi`: what the tree, the toolbar and the status bar
// show their text in.
unique_hgdiobj UserInterfaceFont(UINT dpi);

// An image list of `count` square pictures at the artwork size for `dpi`, from the strip among
// `strips` (bitmap resources by kArtworkSizes, magenta transparent) drawn at that size.
using ArtworkStrips = std::array<int, kArtworkSizes.size()>;
unique_himagelist LoadArtwork(HINSTANCE instance, const ArtworkStrips& strips, UINT dpi, int count);

// A function of a system library looked up by name, or null where this Windows lacks it.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                : nullptr;
}
