// Sizes for the screen's dots per inch: the program's layout is written for 96 dpi and scaled to
// the monitor a window is on; pictures come drawn at a few sizes and the nearest one is used.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr int32_t kBaseDpi = 96;

// A length of the 96-dpi layout at `dpi`, rounded to the nearest pixel; and back.
int32_t ScaleToDpi(int32_t length, int32_t dpi);
int32_t ScaleFromDpi(int32_t length, int32_t dpi);

// The sizes the tree pictures and the toolbar buttons are drawn at, smallest first.
inline constexpr std::array<int32_t, 4> kArtworkSizes{16, 20, 24, 32};

// The drawn size for `dpi`: the largest one no larger than 16 pixels scaled, so that a picture
// never grows past the row it was laid out for (the smallest below 96 dpi).
size_t ArtworkSizeIndex(int32_t dpi);
inline int32_t ArtworkSize(int32_t dpi) { return kArtworkSizes[ArtworkSizeIndex(dpi)]; }
