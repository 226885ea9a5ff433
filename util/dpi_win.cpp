#include "util/dpi_win.h"

#include <commctrl.h>

namespace {

constexpr COLORREF kArtworkMask = RGB(255, 0, 255);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);

HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

// Loaded once, from the system folder only, and kept for the life of the program. Windows
// before 8.1 has no such library (and older ones refuse the flag): then there is none.
HMODULE ShellCore() {
  static const HMODULE module = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module;
}

}  // namespace

UINT SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT WindowDpi(HWND window) {
  static const auto forWindow = SystemFunction<GetDpiForWindowFunction>(User32(), "GetDpiForWindow");
  const UINT dpi = forWindow && window ? forWindow(window) : 0;
  return dpi ? dpi : SystemDpi();
}

UINT MonitorDpi(HMONITOR monitor) {
  static const auto forMonitor = SystemFunction<GetDpiForMonitorFunction>(ShellCore(), "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (forMonitor && monitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return y;
  return SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
  static const auto forDpi = SystemFunction<GetSystemMetricsForDpiFunction>(User32(), "GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, dpi);
  return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void ScaleNonClientArea(HWND window) {
  static const auto enable = SystemFunction<EnableNonClientDpiScalingFunction>(User32(), "EnableNonClientDpiScaling");
  if (enable && !(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) enable(window);
}

HMONITOR TaskbarMonitor() {
  HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  return tray ? ::MonitorFromWindow(tray, MONITOR_DEFAULTTOPRIMARY)
              : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

unique_hgdiobj UserInterfaceFont(UINT dpi) {
  static const auto forDpi =
      SystemFunction<SystemParametersInfoForDpiFunction>(User32(), "SystemParametersInfoForDpi");
  LOGFONTW font{};
  if (forDpi) {
    if (!forDpi(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0, dpi)) return {};
  } else {
    // The system's font is for its own DPI.
    if (!::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) return {};
    font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  }
  return unique_hgdiobj(::CreateFontIndirectW(&font));
}

unique_himagelist LoadArtwork(HINSTANCE instance, const ArtworkStrips& strips, UINT dpi, int count) {
  const size_t index = ArtworkSizeIndex(static_cast<int32_t>(dpi));
  const int size = kArtworkSizes[index];
  unique_himagelist images(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0));
  unique_hgdiobj strip(::LoadImageW(instance, MAKEINTRESOURCEW(strips[index]), IMAGE_BITMAP, 0, 0,
                                    LR_CREATEDIBSECTION));
  if (!images || !strip || ::ImageList_AddMasked(images.get(), static_cast<HBITMAP>(strip.get()), kArtworkMask) < 0 ||
      ::ImageList_GetImageCount(images.get()) != count)
    return {};
  return images;
}
