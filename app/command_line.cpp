#include "app/command_line.h"

#include "util/split.h"
#include "util/url.h"

CommandLineAction WalkCommandLine(TextView commandLine) {
  for (const Text& field : SplitQuoted(commandLine, u' ')) {
    if (field == u"/exit") return CommandLineAction::kExit;
    if (field == u"/reload") break;
  }
  return CommandLineAction::kRun;
}

bool ShouldForwardCommandLine(TextView commandLine) {
  if (commandLine.empty()) return false;
  if (commandLine.front() == u'/') return true;
  auto url = ParseAbsoluteUrl(commandLine);
  return url && url->hasAuthority && !url->host.empty();
}
