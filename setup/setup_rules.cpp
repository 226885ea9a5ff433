#include "setup/setup_rules.h"

SetupMode SetupModeOf(TextView commandLine) {
  const TextView text = Trim(commandLine);
  if (EqualsIgnoreCaseAscii(text, u"/install")) return SetupMode::kInstall;
  if (EqualsIgnoreCaseAscii(text, u"/uninstall")) return SetupMode::kUninstall;
  return SetupMode::kWindow;
}

Text StartupShortcutPath(TextView startupFolder) {
  Text path(startupFolder);
  if (path.empty() || path.back() != u'\\') path.push_back(u'\\');
  return path + u"pelun.lnk";
}
