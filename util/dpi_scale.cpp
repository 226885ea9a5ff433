#include "util/dpi_scale.h"

namespace {

// A DPI the system did not give (0 from a failed query) counts as the base.
int64_t Known(int32_t dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// Halves away from zero, as the system's MulDiv rounds.
int32_t Rounded(int64_t numerator, int64_t denominator) {
  const int64_t half = denominator / 2;
  return static_cast<int32_t>(numerator >= 0 ? (numerator + half) / denominator : (numerator - half) / denominator);
}

}  // namespace

int32_t ScaleToDpi(int32_t length, int32_t dpi) { return Rounded(int64_t{length} * Known(dpi), kBaseDpi); }

int32_t ScaleFromDpi(int32_t length, int32_t dpi) { return Rounded(int64_t{length} * kBaseDpi, Known(dpi)); }

size_t ArtworkSizeIndex(int32_t dpi) {
  const int32_t wanted = ScaleToDpi(kArtworkSizes.front(), dpi);
  size_t index = 0;
  while (index + 1 < kArtworkSizes.size() && kArtworkSizes[index + 1] <= wanted) ++index;
  return index;
}
