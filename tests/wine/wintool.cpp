// A small console tool that end-to-end tests run inside the Wine prefix to look at and drive
// the program's windows and kernel objects. Prints results on stdout; exit code 0 = success.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/wide_win.h"

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

void PrintUtf8(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 1, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::printf("%s\n", bytes.c_str());
}

// Every child control's text, one per line: what a message box or dialog says.
int PrintDialogText(HWND dialog) {
  ::EnumChildWindows(
      dialog,
      [](HWND child, LPARAM) -> BOOL {
        wchar_t text[1024] = {};
        ::GetWindowTextW(child, text, 1024);
        if (*text) PrintUtf8(text);
        return TRUE;
      },
      0);
  return 0;
}

// Stands in for a running main program: holds its instance mutex, owns a window of its class
// and title, and writes the raw bytes of the first forwarded command line to a file.
struct FakeMainWindow {
  static inline UINT requestMessage = 0;
  static inline const wchar_t* outputPath = nullptr;
  static inline int result = 1;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == requestMessage && wParam == static_cast<WPARAM>(RequestCommand::kForwardCommandLine)) {
      auto text = TakeSharedTextBlock(reinterpret_cast<HANDLE>(lParam));
      if (text) {
        if (FILE* file = _wfopen(outputPath, L"wb")) {
          std::fwrite(text->data(), 1, text->size(), file);
          std::fclose(file);
          result = 0;
        }
      }
      ::PostQuitMessage(0);
      return 1;
    }
    if (message == WM_TIMER) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  static int Run(const wchar_t* path, DWORD timeoutMs) {
    outputPath = path;
    requestMessage = ::RegisterWindowMessageW(W(kRequestMessageName));
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, W(kInstanceMutexName));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = W(kMainWindowClass);
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowW(W(kMainWindowClass), W(kMainWindowTitle), WS_OVERLAPPEDWINDOW, 0, 0,
                                  100, 100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    ::SetTimer(window, 1, timeoutMs, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    ::DestroyWindow(window);
    ::CloseHandle(mutex);
    return result;
  }
};

int Usage() {
  std::fputs(
      "wintool wait-window CLASS TITLE MS | wait-no-window CLASS TITLE MS |\n"
      "        window-info CLASS TITLE | close-window CLASS TITLE |\n"
      "        hold-mutex NAME MS | mutex-exists NAME | dialog-text CLASS TITLE |\n"
      "        fake-main-window OUTFILE MS\n",
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
  if (command == L"dialog-text" && argc == 4) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    return window ? PrintDialogText(window) : 1;
  }
  if (command == L"fake-main-window" && argc == 4)
    return FakeMainWindow::Run(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (command == L"mutex-exists" && argc == 3) {
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, argv[2]);
    if (!mutex) return 1;
    ::CloseHandle(mutex);
    return 0;
  }
  return Usage();
}
