#include "util/os_version.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS

TEST(OsVersionRules, Windows2000MeansNtFamilyFromMajorVersion5) {
  EXPECT_FALSE(IsWindows2000OrLater({kPlatformWindowsNt, 4, 0}));
  EXPECT_TRUE(IsWindows2000OrLater({kPlatformWindowsNt, 5, 0}));
  EXPECT_TRUE(IsWindows2000OrLater({kPlatformWindowsNt, 10, 0}));
  EXPECT_FALSE(IsWindows2000OrLater({kPlatformWindows9x, 5, 0}));  // no 9x counts
}

TEST(OsVersionRules, WindowsXpMeansVersion51OrAnyLaterMajor) {
  EXPECT_FALSE(IsWindowsXpOrLater({kPlatformWindowsNt, 5, 0}));
  EXPECT_TRUE(IsWindowsXpOrLater({kPlatformWindowsNt, 5, 1}));
  EXPECT_TRUE(IsWindowsXpOrLater({kPlatformWindowsNt, 5, 2}));
  EXPECT_TRUE(IsWindowsXpOrLater({kPlatformWindowsNt, 6, 0}));
  EXPECT_FALSE(IsWindowsXpOrLater({kPlatformWindowsNt, 4, 90}));
  EXPECT_FALSE(IsWindowsXpOrLater({kPlatformWindows9x, 4, 90}));  // Me
  EXPECT_FALSE(IsWindowsXpOrLater({kPlatformWindows9x, 5, 1}));
  EXPECT_TRUE(IsWindowsXpOrLater({kPlatformWindows9x, 6, 0}));
  EXPECT_FALSE(IsWindowsXpOrLater({}));  // a failed query counts as the oldest system
}

}  // namespace
