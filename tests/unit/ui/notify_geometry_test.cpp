#include "ui/notify_geometry.h"

#include <gtest/gtest.h>

TEST(NotifyGeometry, AlphaFollowsTheSetting) {
  const std::pair<int32_t, std::optional<uint8_t>> rows[] = {
      {100, std::nullopt}, {250, std::nullopt}, {0, 55}, {40, 135}, {50, 155}, {99, 253}, {-27, 55}, {-1000, 55},
  };
  for (const auto& [setting, alpha] : rows) EXPECT_EQ(WindowAlpha(setting), alpha) << setting;
}

TEST(NotifyGeometry, PopupSizeAndPlaceInTheWorkArea) {
  EXPECT_EQ(PopupSize({40, 12}, {30, 13}), (Extent{160, 100}));  // one short line
  EXPECT_EQ(PopupSize({300, 60}, {50, 13}), (Extent{330, 131}));
  const Box work{0, 0, 1024, 747};  // a task bar at the bottom
  const Extent size{160, 100};
  const std::pair<int32_t, Box> rows[] = {
      {0, {432, 323, 592, 423}}, {1, {4, 1, 164, 101}},     {2, {860, 1, 1020, 101}},
      {3, {4, 646, 164, 746}},   {4, {860, 646, 1020, 746}}, {7, {860, 646, 1020, 746}},
  };
  for (const auto& [position, box] : rows) EXPECT_EQ(PlacePopup(position, work, size), box) << position;
  // A second monitor to the left of the primary one.
  EXPECT_EQ(PlacePopup(1, {-1280, 100, 0, 1124}, size), (Box{-1276, 101, -1116, 201}));
  // Larger than the work area: cut to it, buttons on the screen.
  EXPECT_EQ(PlacePopup(4, work, {5000, 2000}), (Box{0, 0, 1024, 747}));

  const PopupButtons buttons = PopupButtonBoxes({160, 100});
  EXPECT_EQ(buttons.show, (Box{15, 72, 75, 93}));
  EXPECT_EQ(buttons.close, (Box{85, 72, 145, 93}));
}

TEST(NotifyGeometry, TickerLayoutAndTiming) {
  EXPECT_EQ(TickerHeight(4), 45);
  // The title slides in from the right edge in 20 steps.
  EXPECT_EQ(TickerTitleLeft(312, 1), 312 - 303 / 20 - 3);
  EXPECT_EQ(TickerTitleLeft(312, 10), 312 - 151 - 3);
  EXPECT_EQ(TickerTitleLeft(312, 19), 312 - 287 - 3);
  EXPECT_EQ(TickerTitleLeft(312, 20), 6);
  EXPECT_EQ(TickerCloseButton(312), (Box{295, 5, 308, 18}));
  const std::pair<int32_t, uint32_t> intervals[] = {
      {1, 3000}, {-5, 3000}, {3, 3000}, {8, 8000}, {2147483647, 0x7FFFFFFF}};
  for (const auto& [seconds, ms] : intervals) EXPECT_EQ(TickerIntervalMilliseconds(seconds), ms) << seconds;
}

TEST(NotifyGeometry, TickerStaysWithinReach) {
  const std::vector<Box> monitors{{0, 0, 1024, 768}, {1024, 0, 2944, 1080}};
  const Box work{0, 0, 1024, 747};
  struct Row {
    Box saved, placed;
  };
  const Row rows[] = {
      {{32, 32, 352, 77}, {32, 32, 352, 77}},              // as saved
      {{1500, 900, 1820, 945}, {1500, 900, 1820, 945}},    // on the second monitor
      {{3000, 200, 3320, 245}, {32, 32, 352, 77}},         // where a monitor used to be
      {{-310, 40, 10, 85}, {32, 32, 352, 77}},             // ten pixels showing: out of reach
      {{-280, 40, 40, 85}, {-280, 40, 40, 85}},            // forty showing: can be taken
      {{32, 32, 82, 77}, {32, 32, 132, 77}},               // narrower than the tracking minimum
      {{-50, 10, 99950, 55}, {-50, 10, 1870, 55}},         // wider than any monitor
  };
  for (const auto& row : rows)
    EXPECT_EQ(PlaceTicker(row.saved, monitors, work), row.placed) << row.saved.left << "," << row.saved.top;
}

// The same layout on monitors at 150% and 200%: every length of it grows, the texts' measured
// sizes (already in the monitor's pixels) are taken as they are.
TEST(NotifyGeometry, LayoutFollowsTheDpi) {
  EXPECT_EQ(PopupSize({40, 12}, {30, 13}, 144), (Extent{240, 150}));
  EXPECT_EQ(PopupSize({600, 120}, {100, 26}, 192), (Extent{660, 262}));
  EXPECT_EQ(PlacePopup(4, {0, 0, 1536, 1120}, {240, 150}, 144), (Box{1290, 968, 1530, 1118}));
  const PopupButtons buttons = PopupButtonBoxes({240, 150}, 144);
  EXPECT_EQ(buttons.show, (Box{22, 108, 112, 140}));
  EXPECT_EQ(buttons.close, (Box{127, 108, 217, 140}));

  EXPECT_EQ(TickerHeight(8, 192), 90);
  EXPECT_EQ(TickerTitleLeft(624, 20, 192), 12);
  EXPECT_EQ(TickerTitleLeft(624, 10, 192), 624 - 303 - 6);
  EXPECT_EQ(TickerCloseButton(624, 192), (Box{590, 10, 616, 36}));
  const std::vector<Box> monitors{{0, 0, 2048, 1536}};
  const Box work{0, 0, 2048, 1494};
  EXPECT_EQ(PlaceTicker({64, 64, 164, 154}, monitors, work, 192), (Box{64, 64, 264, 154}));
  // Forty pixels showing are within reach at 96 dpi, not at 192.
  EXPECT_EQ(PlaceTicker({-600, 80, 40, 170}, monitors, work, 192), (Box{64, 64, 704, 154}));
}
