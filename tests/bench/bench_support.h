// What the benchmarks of pelun_bench share: a clock and one line per figure beside its target.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double Seconds() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline void Report(const char* name, double seconds, double targetSeconds) {
  std::printf("%-36s %7.3f s   (target < %.1f s)  %s\n", name, seconds, targetSeconds,
              seconds < targetSeconds ? "ok" : "SLOW");
  std::fflush(stdout);
}

// The OPML import and synchronisation benchmark (opml_bench.cpp); false when a step failed.
bool RunOpmlBench();
