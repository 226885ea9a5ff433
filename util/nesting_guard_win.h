// How deeply a window or subclass procedure is entered for one window. A procedure that sends
// its own window a message which comes back into it recurses: Wine cuts such recursion at 64
// levels and carries on, Windows overflows the stack. The guard makes the fault visible.
#pragma once

#include <windows.h>

class NestingGuard {
 public:
  // Nesting deeper than this for one window and procedure is a fault.
  static constexpr int kLimit = 16;

  NestingGuard(HWND window, const void* procedure) noexcept;
  ~NestingGuard();
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

  int Depth() const noexcept { return *depth_; }

 private:
  HWND window_;
  const void* procedure_;
  int* depth_;
};
