#include "util/os_version.h"

bool IsWindowsXpOrLater(const OsVersion& version) {
  return (version.platformId == kPlatformWindowsNt && version.major == 5 && version.minor >= 1) ||
         version.major > 5;
}

bool IsWindows2000OrLater(const OsVersion& version) {
  return version.platformId == kPlatformWindowsNt && version.major >= 5;
}
