#include "util/dpi_scale.h"

#include <gtest/gtest.h>

TEST(DpiScale, LengthsFollowTheDpiAndComeBack) {
  struct Case {
    int32_t dpi, length, scaled;
  };
  const Case cases[] = {
      {96, 340, 340}, {120, 340, 425}, {144, 450, 675}, {192, 37, 74},
      {144, 13, 20},   // 19.5 rounds up
      {144, -13, -20},  // and away from zero below it
      {168, 1, 2},     {0, 320, 320},  // an unknown DPI is the base
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.length, c.dpi), c.scaled) << c.dpi << " " << c.length;
    EXPECT_EQ(ScaleFromDpi(c.scaled, c.dpi), c.length) << c.dpi << " " << c.scaled;
  }
  // Saved sizes survive a round trip at every common scaling.
  for (int32_t dpi : {96, 120, 144, 168, 192, 240, 288})
    for (int32_t length : {100, 320, 340, 450, 1023}) EXPECT_EQ(ScaleFromDpi(ScaleToDpi(length, dpi), dpi), length);
}

TEST(DpiScale, ArtworkIsTheLargestSizeThatFits) {
  const std::pair<int32_t, int32_t> cases[] = {
      {72, 16}, {96, 16}, {110, 16}, {120, 20}, {132, 20}, {144, 24},
      {168, 24}, {180, 24}, {192, 32}, {240, 32}, {480, 32}, {0, 16},
  };
  for (const auto& [dpi, size] : cases) EXPECT_EQ(ArtworkSize(dpi), size) << dpi;
}
