#include "util/os_version.h"

#include <gtest/gtest.h>

// Wine reports a modern NT version, so both queries of the running system must hold.
TEST(OsVersionQueries, RunningSystemIsNtFamilyFrom2000On) {
  EXPECT_TRUE(IsWindows2000OrLater());
  EXPECT_TRUE(IsWindowsXpOrLater());
}
