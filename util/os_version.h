// Windows version rules. The rules are pure functions over the reported version so that they can
// be checked anywhere; the queries of the running system exist only in the Windows build.
#pragma once

#include <cstdint>

// The values GetVersionEx reports.
struct OsVersion {
  uint32_t platformId = 0;
  uint32_t major = 0;
  uint32_t minor = 0;
};

inline constexpr uint32_t kPlatformWindowsNt = 2;  // VER_PLATFORM_WIN32_NT

bool IsWindowsXpOrLater(const OsVersion& version);
bool IsWindows2000OrLater(const OsVersion& version);

#ifdef _WIN32
bool IsWindowsXpOrLater();
bool IsWindows2000OrLater();
#endif
