#include "util/os_version.h"

#include <windows.h>

static_assert(kPlatformWindowsNt == VER_PLATFORM_WIN32_NT);

namespace {

// An unknown version counts as the oldest, so that the newer features are simply not used.
OsVersion RunningOsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return {};
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

}  // namespace

bool IsWindowsXpOrLater() { return IsWindowsXpOrLater(RunningOsVersion()); }
bool IsWindows2000OrLater() { return IsWindows2000OrLater(RunningOsVersion()); }
