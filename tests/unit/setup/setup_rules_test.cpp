#include "setup/setup_rules.h"

#include <gtest/gtest.h>

TEST(SetupRules, CommandLineModes) {
  struct Case { TextView line; SetupMode mode; };
  const Case cases[] = {
      {u"/install", SetupMode::kInstall},     {u"  /INSTALL \t", SetupMode::kInstall},
      {u"/Uninstall", SetupMode::kUninstall}, {u"", SetupMode::kWindow},
      {u"/install x", SetupMode::kWindow},    {u"\"/install\"", SetupMode::kWindow},
      {u"install", SetupMode::kWindow},
  };
  for (const Case& c : cases) EXPECT_EQ(SetupModeOf(c.line), c.mode) << std::string(c.line.begin(), c.line.end());
}

TEST(SetupRules, ShortcutInTheStartupFolder) {
  EXPECT_EQ(StartupShortcutPath(u"C:\\Startup"), u"C:\\Startup\\pelun.lnk");
  EXPECT_EQ(StartupShortcutPath(u"C:\\Startup\\"), u"C:\\Startup\\pelun.lnk");
}
