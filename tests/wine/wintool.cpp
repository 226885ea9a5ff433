// A small console tool that end-to-end tests run inside the Wine prefix to look at and drive
// the program's windows and kernel objects. Prints results on stdout; exit code 0 = success.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND window = ::FindWindowW(className, title)) return window;
    if (::GetTickCount() - start >= timeoutMs) return nullptr;
    ::Sleep(50);
  }
}

bool WaitForNoWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::FindWindowW(className, title)) {
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}

const wchar_t* OrNull(const wchar_t* text) { return (text && *text) ? text : nullptr; }

int Usage() {
  std::fputs(
      "wintool wait-window CLASS TITLE MS | wait-no-window CLASS TITLE MS |\n"
      "        window-info CLASS TITLE | close-window CLASS TITLE |\n"
      "        hold-mutex NAME MS | mutex-exists NAME\n",
      stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  if (command == L"wait-window" && argc == 5) {
    HWND window = WaitForWindow(OrNull(argv[2]), OrNull(argv[3]), std::wcstoul(argv[4], nullptr, 10));
    if (!window) return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return 0;
  }
  if (command == L"wait-no-window" && argc == 5)
    return WaitForNoWindow(OrNull(argv[2]), OrNull(argv[3]), std::wcstoul(argv[4], nullptr, 10)) ? 0 : 1;
  if (command == L"window-info" && argc == 4) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    if (!window) return 1;
    std::printf("visible=%d\n", ::IsWindowVisible(window) ? 1 : 0);
    return 0;
  }
  if (command == L"close-window" && argc == 4) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    return (window && ::PostMessageW(window, WM_CLOSE, 0, 0)) ? 0 : 1;
  }
  if (command == L"hold-mutex" && argc == 4) {
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, argv[2]);
    if (!mutex) return 1;
    std::puts("held");
    std::fflush(stdout);
    ::Sleep(std::wcstoul(argv[3], nullptr, 10));
    ::CloseHandle(mutex);
    return 0;
  }
  if (command == L"mutex-exists" && argc == 3) {
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, argv[2]);
    if (!mutex) return 1;
    ::CloseHandle(mutex);
    return 0;
  }
  return Usage();
}
