// Turns fuzzer bytes into program text for the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "util/text.h"

// The first byte picks the decoding: bytes widened one by one reach the markup and URL syntax
// quickly, pairs of bytes reach every UTF-16 code unit, lone surrogates included.
inline Text FuzzText(const uint8_t* data, size_t size) {
  Text text;
  if (size == 0) return text;
  const bool pairs = data[0] & 1;
  ++data;
  --size;
  if (pairs) {
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  } else {
    for (size_t i = 0; i < size; ++i) text.push_back(data[i]);
  }
  return text;
}

// Aborts so that libFuzzer records the input; assert() vanishes in release builds.
inline void FuzzCheck(bool condition) {
  if (!condition) std::abort();
}
