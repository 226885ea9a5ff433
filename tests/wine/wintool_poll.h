// Waiting in wintool's commands: until something holds, or a time runs out.
#pragma once

#include <windows.h>

// Asks `condition` every 50 ms; true once it holds, false when `timeoutMs` ran out first.
template <typename Condition>
bool PollFor(DWORD timeoutMs, Condition condition) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}
