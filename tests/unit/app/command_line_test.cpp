#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLineWalk, ExitEndsAndReloadStopsTheWalk) {
  EXPECT_EQ(WalkCommandLine(u"/exit"), CommandLineAction::kExit);
  EXPECT_EQ(WalkCommandLine(u"http://a/ /exit"), CommandLineAction::kExit);
  EXPECT_EQ(WalkCommandLine(u"/reload /exit"), CommandLineAction::kRun);
  EXPECT_EQ(WalkCommandLine(u"/EXIT"), CommandLineAction::kRun) << "comparison is case-sensitive";
  EXPECT_EQ(WalkCommandLine(u"\"/exit\""), CommandLineAction::kExit) << "quotes are removed";
  EXPECT_EQ(WalkCommandLine(u""), CommandLineAction::kRun);
}

TEST(CommandLineForwarding, OnlyAbsoluteAddressesAndSlashCommandsQualify) {
  EXPECT_TRUE(ShouldForwardCommandLine(u"http://example.com/feed.rdf"));
  EXPECT_TRUE(ShouldForwardCommandLine(u"/exit"));
  EXPECT_TRUE(ShouldForwardCommandLine(u"/anything at all"));
  EXPECT_FALSE(ShouldForwardCommandLine(u""));
  EXPECT_FALSE(ShouldForwardCommandLine(u"example.com/feed"));
  EXPECT_FALSE(ShouldForwardCommandLine(u"mailto:someone@example.com")) << "no \"://\" and host";
  EXPECT_FALSE(ShouldForwardCommandLine(u"http:///path-only"));
}
