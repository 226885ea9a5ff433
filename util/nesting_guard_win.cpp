#include "util/nesting_guard_win.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace {

using Key = std::pair<HWND, const void*>;

// Windows belong to the thread that made them, so the depths are per thread.
thread_local std::map<Key, int> depths;
thread_local int spareDepth = 0;  // used when the table cannot grow

// Where a test run collects faults (PELUN_FAULT_LOG); the harness fails a test whose program
// wrote to it. Without it the fault goes to the debugger's output only.
void ReportTooDeep(HWND window, const void* procedure, int depth) {
  static LONG reports = 0;  // a recursion repeats with every message: the first ones say enough
  if (::InterlockedIncrement(&reports) > 20) return;
  char line[160];
  std::snprintf(line, sizeof line, "window procedure nested %d deep: window %p, procedure %p\n", depth,
                static_cast<void*>(window), procedure);
  ::OutputDebugStringA(line);
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"PELUN_FAULT_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

NestingGuard::NestingGuard(HWND window, const void* procedure) noexcept
    : window_(window), procedure_(procedure), depth_(&spareDepth) {
  try {
    depth_ = &depths[Key(window, procedure)];
  } catch (...) {
  }
  // Reported once per descent, when the limit is first passed.
  if (++*depth_ == kLimit + 1) ReportTooDeep(window, procedure, *depth_);
}

NestingGuard::~NestingGuard() {
  // The outermost call forgets the window, which may not outlive it.
  if (--*depth_ == 0 && depth_ != &spareDepth) depths.erase(Key(window_, procedure_));
}
