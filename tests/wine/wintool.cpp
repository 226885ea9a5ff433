// A small console tool that end-to-end tests run inside the Wine prefix to look at and drive
// the program's windows and kernel objects. Prints results on stdout; exit code 0 = success.
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>

#include "check/fetch_rules.h"
#include "store/password_protection.h"
#include "check/http_transfer_win.h"
#include "shared/names.h"
#include "shared/shared_text_block_win.h"
#include "util/file_io_win.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"
#include "tests/wine/wintool_poll.h"
#include "tests/wine/wintool_sheet.h"
#include "tests/wine/wintool_tree.h"

namespace {

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  HWND window = nullptr;
  PollFor(timeoutMs, [&] { return (window = ::FindWindowW(className, title)) != nullptr; });
  return window;
}

bool WaitForNoWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  return PollFor(timeoutMs, [&] { return !::FindWindowW(className, title); });
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
        // Asked with the message: the window text of another process's edit control is empty.
        wchar_t text[1024] = {};
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                              &copied);
        if (*text && *text != 0xFFFF) PrintUtf8(text);  // an icon's resource ordinal is no text
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

// Runs one transfer the way a check does (on a worker, the reply posted to a window) or, with
// --now, the way an interactive action does, and prints what came back as key=value lines.
// --cancel-after cancels a scheduled transfer and reports whether its worker ended in time.
struct FetchCommand {
  static constexpr UINT kReplyMessage = WM_APP + 1;
  static constexpr DWORD kReplyWaitMs = 60000;
  static constexpr DWORD kWorkerEndWaitMs = 20000;

  FetchRequest request;
  Text outputDirectory;  // where a 200's body is written as "<item>.body", for the test to read
  Text lastModified;
  Text etag;
  Text agentFragment;
  bool now = false;
  DWORD cancelAfterMs = 0;

  bool Parse(int argc, wchar_t** argv) {
    request.url = FromWide(argv[2]);
    outputDirectory = FromWide(argv[3]);
    if (!outputDirectory.empty() && outputDirectory.back() != u'\\') outputDirectory += u'\\';
    request.item = 7;
    for (int i = 4; i < argc; ++i) {
      const std::wstring option = argv[i];
      const bool hasValue = i + 1 < argc;
      if (option == L"--now") now = true;
      else if (option == L"--reload") request.reload = true;
      else if (option == L"--last-modified" && hasValue) lastModified = FromWide(argv[++i]);
      else if (option == L"--etag" && hasValue) etag = FromWide(argv[++i]);
      else if (option == L"--agent-fragment" && hasValue) agentFragment = FromWide(argv[++i]);
      else if (option == L"--item" && hasValue) request.item = std::wcstoul(argv[++i], nullptr, 10);
      else if (option == L"--user" && hasValue) request.user = FromWide(argv[++i]);
      else if (option == L"--password" && hasValue) request.password = FromWide(argv[++i]);
      else if (option == L"--cancel-after" && hasValue) cancelAfterMs = std::wcstoul(argv[++i], nullptr, 10);
      else if (option == L"--proxy" && hasValue) SetProxy(argv[++i]);
      else if (option == L"--proxy-user" && hasValue) request.proxy.user = FromWide(argv[++i]);
      else if (option == L"--proxy-password" && hasValue) request.proxyPassword = FromWide(argv[++i]);
      else return false;
    }
    request.headers = ScheduledHeaders(lastModified, etag, request.reload, request.url, agentFragment);
    return true;
  }

  // "HOST:PORT", as the options dialog keeps it.
  void SetProxy(const std::wstring& hostAndPort) {
    const size_t colon = hostAndPort.rfind(L':');
    request.proxy.type = CProxySettings::kGivenHere;
    request.proxy.server = FromWide(hostAndPort.substr(0, colon).c_str());
    request.proxy.port = colon == std::wstring::npos ? 0 : static_cast<int32_t>(std::wcstol(hostAndPort.c_str() + colon + 1, nullptr, 10));
  }

  static void Print(const char* key, const Text& value) {
    std::printf("%s=", key);
    std::fflush(stdout);
    PrintUtf8(std::wstring(W(value)));
  }

  void PrintResult(const FetchResult* result) const {
    std::printf("result=%d\n", result ? 1 : 0);
    if (!result) return;
    std::printf("status=%lu\n", static_cast<unsigned long>(result->status));
    Print("last_modified", result->lastModified);
    Print("etag", result->etag);
    Print("location", result->location);
    std::printf("body_bytes=%zu\n", result->body.size());
    if (result->body.empty()) return;
    ::CreateDirectoryW(W(outputDirectory), nullptr);
    const Text path = outputDirectory + UnsignedDecimalText(request.item) + u".body";
    if (ReplaceFileContents(path, result->body)) Print("body", path);
  }

  int RunNow() {
    Text error;
    const auto result = FetchNow(request, &error);
    PrintResult(result ? &*result : nullptr);
    Print("error", error);
    return 0;
  }

  int RunScheduled() {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!window) return 1;
    auto control = StartScheduledTransfer(request, window, kReplyMessage);
    if (!control) return 1;
    const DWORD start = ::GetTickCount();
    for (;;) {
      MSG message;
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == kReplyMessage) {
          std::unique_ptr<FetchResult> result(reinterpret_cast<FetchResult*>(message.lParam));
          std::printf("item=%lu\n", static_cast<unsigned long>(message.wParam));
          PrintResult(result.get());
          ::DestroyWindow(window);
          return 0;
        }
        ::DispatchMessageW(&message);
      }
      if (cancelAfterMs != 0 && ::GetTickCount() - start >= cancelAfterMs) return Cancel(*control, window);
      if (::GetTickCount() - start >= kReplyWaitMs) {
        std::puts("timeout=1");
        return 3;
      }
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }

  // A cancelled worker must end without posting anything.
  static int Cancel(TransferControl& control, HWND window) {
    control.Cancel();
    control.Cancel();  // a second cancel does nothing
    const bool finished = control.WaitFinished(kWorkerEndWaitMs);
    MSG message;
    const bool posted = ::PeekMessageW(&message, window, kReplyMessage, kReplyMessage, PM_REMOVE) != FALSE;
    std::printf("cancelled=1\nfinished=%d\nposted=%d\n", finished ? 1 : 0, posted ? 1 : 0);
    ::DestroyWindow(window);
    return 0;
  }
};

// Plays a band: sends the request message with `command` and prints the answer, the strings of
// an answer block one per line (an empty line for each empty string, the list's final NUL
// included), or the plain result.
int SendRequest(WPARAM command) {
  HWND main = ::FindWindowW(W(kMainWindowClass), W(kMainWindowTitle));
  if (!main) return 1;
  HWND requester = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
  const UINT message = ::RegisterWindowMessageW(W(kRequestMessageName));
  const LRESULT result = ::SendMessageW(main, message, command, reinterpret_cast<LPARAM>(requester));
  ::DestroyWindow(requester);
  const bool answersBlock = command == 10 || command == 11 || command == 12;
  if (!answersBlock) {
    std::printf("result=%lld\n", static_cast<long long>(result));
    return 0;
  }
  const auto bytes = TakeSharedBytesBlock(reinterpret_cast<HANDLE>(result));
  if (!bytes) return 1;
  std::printf("bytes=%u\n", static_cast<unsigned>(bytes->size()));
  size_t start = 0;
  while (start < bytes->size()) {
    const size_t end = bytes->find('\0', start);
    const std::string field = bytes->substr(start, end - start);
    const int length = ::MultiByteToWideChar(CP_ACP, 0, field.data(), static_cast<int>(field.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, field.data(), static_cast<int>(field.size()), wide.data(), length);
    PrintUtf8(L"field=" + wide);
    start = end + 1;
  }
  return 0;
}

// Plays a band's catch window for `milliseconds`: appends "news=N" to the file for every news
// broadcast, after a first line "ready".
struct CatchWindow {
  static inline UINT newsMessage = 0;
  static inline FILE* output = nullptr;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == newsMessage && output) {
      std::fprintf(output, "news=%u\n", static_cast<unsigned>(wParam));
      std::fflush(output);
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  static int Run(const wchar_t* outputPath, DWORD milliseconds) {
    newsMessage = ::RegisterWindowMessageW(W(kNewsMessageName));
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = W(kBandCatchWindowClass);
    if (!::RegisterClassW(&windowClass)) return 1;
    HWND window = ::CreateWindowExW(0, W(kBandCatchWindowClass), W(kBandCatchWindowTitle), WS_POPUP, 0, 0, 0,
                                    0, nullptr, nullptr, windowClass.hInstance, nullptr);
    output = _wfopen(outputPath, L"w");
    if (!window || !output) return 1;
    std::fputs("ready\n", output);
    std::fflush(output);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
      MSG message;
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    ::DestroyWindow(window);
    std::fclose(output);
    return 0;
  }
};

// A message given by number, or by the name under which it is registered.
UINT MessageNumber(const wchar_t* text) {
  wchar_t* end = nullptr;
  const unsigned long number = std::wcstoul(text, &end, 0);
  return (end && *end == L'\0') ? static_cast<UINT>(number) : ::RegisterWindowMessageW(text);
}

// Asks the shell about the main window's tray entry (id 0): "exists" changes nothing, since
// it sets the tooltip the entry already has.
int TrayEntry(const std::wstring& action) {
  HWND main = ::FindWindowW(W(kMainWindowClass), W(kMainWindowTitle));
  if (!main) return 1;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = main;
  data.uID = 0;
  if (action == L"delete") return ::Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
  data.uFlags = NIF_TIP;
  const Text tip = Text(kApplicationTitle) + u" Ver " + kVersionText;
  std::copy(tip.begin(), tip.end(), data.szTip);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
}

// Started as "fakebrowser.exe ADDRESS...": appends its command line to the file named by
// PELUN_FAKE_BROWSER_LOG, one line per start, so tests see what the program opened.
bool RunAsFakeBrowser() {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring path = module;
  if (path.size() < 15 || _wcsicmp(path.c_str() + path.size() - 15, L"fakebrowser.exe") != 0) return false;
  const wchar_t* log = _wgetenv(L"PELUN_FAKE_BROWSER_LOG");
  if (!log) return true;
  if (FILE* file = _wfopen(log, L"ab")) {
    std::wstring arguments = ::GetCommandLineW();
    const size_t afterProgram = arguments.find(L"\" ", 1);
    arguments = afterProgram == std::wstring::npos ? arguments : arguments.substr(afterProgram + 2);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::fprintf(file, "%s\n", bytes.c_str());
    std::fclose(file);
  }
  return true;
}

int Usage() {
  std::fputs(
      "wintool wait-window CLASS TITLE MS | wait-no-window CLASS TITLE MS |\n"
      "        window-info CLASS TITLE | window-rect CLASS TITLE | screen-info ALL |\n"
      "        close-window CLASS TITLE |\n"
      "        hold-mutex NAME MS | mutex-exists NAME | dialog-text CLASS TITLE |\n"
      "        fake-main-window OUTFILE MS | request SUBCOMMAND | catch-window OUTFILE MS |\n"
      "        post-message CLASS TITLE MESSAGE WPARAM LPARAM | tray-entry exists|delete |\n"
      "        tree-items | tree-select TEXT | tree-label TEXT | answer-box TITLE BUTTON |\n"
      "        dpi-changed DPI LEFT TOP RIGHT BOTTOM |\n"
      "        drag site|folder ID X Y | drag text TEXT X Y | shift-post COMMAND |\n"
      "        wait-popup CLASS TITLE MS |\n"
      "        set-dialog-item CLASS TITLE ID TEXT | select-dialog-item CLASS TITLE ID INDEX |\n"
      "        press-button CLASS TITLE ID | set-clipboard TEXT\n",
      stderr);
  return 2;
}

// The yardstick of the server benchmark: the barest blocking accept loop under the same Wine,
// answering every connection with a fixed page, for `seconds`.
int ServeFixed(u_short port, DWORD seconds) {
  WSADATA data{};
  if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return 1;
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(port);
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 5) != 0)
    return 1;
  std::puts("listening");
  std::fflush(stdout);
  static const char kAnswer[] = "HTTP/1.0 200\r\nContent-Type: text/html\r\n\r\n<html><body>ok</body></html>";
  const DWORD start = ::GetTickCount();
  const DWORD wait = 1000;
  ::setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  while (::GetTickCount() - start < seconds * 1000) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    timeval tick{0, 200000};
    if (::select(0, &readable, nullptr, nullptr, &tick) <= 0) continue;
    SOCKET connection = ::accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    char request[10000];
    ::recv(connection, request, sizeof request, 0);
    ::send(connection, kAnswer, sizeof kAnswer - 1, 0);
    ::closesocket(connection);
  }
  ::closesocket(listener);
  ::WSACleanup();
  return 0;
}

// The window that has the input while `owner` is disabled by a modal one: a dialog or a message
// box of the owner's program. Null until one appears within the time.
HWND WaitForPopup(HWND owner, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    HWND popup = ::GetLastActivePopup(owner);
    if (popup && popup != owner && ::IsWindowVisible(popup)) return popup;
    if (::GetTickCount() - start >= timeoutMs) return nullptr;
    ::Sleep(50);
  }
}

// Text in the system code page, as other programs put it on the clipboard.
bool SetClipboardAnsi(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0 || !::OpenClipboard(nullptr)) return false;
  bool set = false;
  if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size))) {
    if (auto* bytes = static_cast<char*>(::GlobalLock(memory))) {
      ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, size, nullptr, nullptr);
      ::GlobalUnlock(memory);
      ::EmptyClipboard();
      set = ::SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    if (!set) ::GlobalFree(memory);  // the clipboard owns it once set
  }
  ::CloseClipboard();
  return set;
}

constexpr DWORD kDialogWaitMs = 10000;

// Driving another program's dialogs: "wait-popup", "set-dialog-item", "select-dialog-item",
// "press-button". Returns -1 for a command that is none of these.
int DialogCommand(int argc, wchar_t** argv) {
  const std::wstring command = argv[1];
  if (command == L"wait-popup" && argc == 5) {
    HWND owner = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    HWND popup = owner ? WaitForPopup(owner, std::wcstoul(argv[4], nullptr, 10)) : nullptr;
    if (!popup) return 1;
    wchar_t title[256] = {};
    ::GetWindowTextW(popup, title, 256);
    PrintUtf8(title);
    return 0;
  }
  if (command == L"set-clipboard" && argc == 3) return SetClipboardAnsi(argv[2]) ? 0 : 1;
  const bool known = (command == L"set-dialog-item" && argc == 6) ||
                     (command == L"select-dialog-item" && argc == 6) || (command == L"press-button" && argc == 5);
  if (!known) return -1;
  // The dialog may still be opening after the command that asks for it.
  HWND dialog = WaitForWindow(OrNull(argv[2]), OrNull(argv[3]), kDialogWaitMs);
  const int id = static_cast<int>(std::wcstoul(argv[4], nullptr, 0));
  HWND item = dialog ? ::GetDlgItem(dialog, id) : nullptr;
  if (!item) return 1;
  if (command == L"set-dialog-item")
    return ::SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5])) ? 0 : 1;
  if (command == L"select-dialog-item") {
    if (::SendMessageW(item, CB_SETCURSEL, std::wcstoul(argv[5], nullptr, 10), 0) == CB_ERR) return 1;
    // A selection made by message is not announced; the dialog learns of it as from the user's
    // pick, which ends the selection (some dialogs act only on that) and then changes it.
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(item));
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
    return 0;
  }
  return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item)) ? 0 : 1;
}

// The work area of the monitor that holds the task bar, the tooltip colour, and the sizing
// frame: what the notices are laid out by.
int PrintScreenInfo() {
  HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromWindow(tray, MONITOR_DEFAULTTOPRIMARY), &info)) return 1;
  const COLORREF tooltip = ::GetSysColor(COLOR_INFOBK);
  std::printf("work=%ld,%ld,%ld,%ld\ninfobk=%d,%d,%d\nsizeframe=%d\n", info.rcWork.left, info.rcWork.top,
              info.rcWork.right, info.rcWork.bottom, GetRValue(tooltip), GetGValue(tooltip), GetBValue(tooltip),
              ::GetSystemMetrics(SM_CYSIZEFRAME));
  return 0;
}

// The start-up shortcut "pelun.lnk": "path=", and when it exists its target, working directory
// and show command as the shell link object reads them.
int PrintStartupShortcut() {
  wchar_t folder[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE)) return 1;
  const std::wstring path = std::wstring(folder) + L"\\pelun.lnk";
  PrintUtf8(L"path=" + path);
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return 2;
  ::CoInitialize(nullptr);
  com_ptr<IShellLinkW> link;
  com_ptr<IPersistFile> file;
  wchar_t target[MAX_PATH] = {}, directory[MAX_PATH] = {};
  int show = 0;
  const bool read =
      SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) && SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
      SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
      SUCCEEDED(link->GetWorkingDirectory(directory, MAX_PATH)) && SUCCEEDED(link->GetShowCmd(&show));
  if (!read) return 1;
  PrintUtf8(std::wstring(L"target=") + target);
  PrintUtf8(std::wstring(L"directory=") + directory);
  PrintUtf8(L"show=" + std::to_wstring(show));
  return 0;
}

bool HasWindows(HDESK desktop) {
  bool found = false;
  ::EnumDesktopWindows(
      desktop,
      [](HWND, LPARAM found) -> BOOL {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Moves the thread into the named desktop before it touches any window. Waits until the desktop
// holds a window: asking for the desktop window of one that has none yet would start a second
// shell for it, racing the session's own.
bool EnterDesktop(const wchar_t* name, DWORD timeoutMs) {
  return PollFor(timeoutMs, [name] {
    HDESK desktop = ::OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    if (!desktop) return false;
    if (HasWindows(desktop) && ::SetThreadDesktop(desktop)) return true;  // stays open: the thread's own
    ::CloseDesktop(desktop);
    return false;
  });
}

// The thread's desktop, for a child that must run in it too (a process started from outside
// belongs to the default desktop, whatever its thread moved to).
std::wstring ThreadDesktopName() {
  wchar_t name[256] = {};
  ::GetUserObjectInformationW(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, name, sizeof name, nullptr);
  return name;
}

// Starts a program with exactly this command line (spaces and all) in the tool's own desktop,
// and waits for it: its exit code, STILL_ACTIVE when it outlived the wait, nothing when it could
// not start.
std::optional<DWORD> RunChild(const wchar_t* commandLine, DWORD timeoutMs) {
  std::wstring line = commandLine;
  std::wstring desktop = ThreadDesktopName();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return std::nullopt;
  ::CloseHandle(started.hThread);
  const unique_handle process(started.hProcess);
  if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 1;
  ::GetExitCodeProcess(process.get(), &code);
  return code;
}

int RunCommandLine(const wchar_t* commandLine) {
  const auto code = RunChild(commandLine, 60000);
  if (!code) return 1;
  std::printf("code=%lu\n", *code);
  return *code == STILL_ACTIVE ? 1 : 0;
}

int Main(int argc, wchar_t** argv);

}  // namespace

// "--desktop NAME" first: the tool works inside that virtual desktop, which the session's shell
// created, although the test runs it from outside.
int wmain(int argc, wchar_t** argv) {
  if (RunAsFakeBrowser()) return 0;
  if (argc >= 3 && std::wstring(argv[1]) == L"--desktop") {
    if (!EnterDesktop(argv[2], 30000)) {
      std::puts("no desktop");
      return 1;
    }
    return Main(argc - 2, argv + 2);
  }
  return Main(argc, argv);
}

namespace {

int Main(int argc, wchar_t** argv) {
  if (const int tree = RunTreeCommand(argc, argv); tree >= 0) return tree;
  if (const int sheet = RunSheetCommand(argc, argv); sheet >= 0) return sheet;
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
  if (command == L"window-rect" && argc == 4) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    RECT bounds{};
    if (!window || !::GetWindowRect(window, &bounds)) return 1;
    std::printf("%ld,%ld,%ld,%ld\n", bounds.left, bounds.top, bounds.right, bounds.bottom);
    return 0;
  }
  if (command == L"screen-info" && argc == 3) return PrintScreenInfo();
  if (command == L"send-message" && argc == 7) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    if (!window) return 1;
    const LRESULT result = ::SendMessageW(window, std::wcstoul(argv[4], nullptr, 0),
                                          std::wcstoul(argv[5], nullptr, 0), std::wcstoul(argv[6], nullptr, 0));
    std::printf("%lld\n", static_cast<long long>(result));
    return 0;
  }
  if (command == L"post-message" && argc == 7) {
    HWND window = ::FindWindowW(OrNull(argv[2]), OrNull(argv[3]));
    return (window && ::PostMessageW(window, MessageNumber(argv[4]), std::wcstoul(argv[5], nullptr, 0),
                                     std::wcstoul(argv[6], nullptr, 0)))
               ? 0
               : 1;
  }
  if (const int code = DialogCommand(argc, argv); code >= 0) return code;
  if (command == L"tray-entry" && argc == 3) return TrayEntry(argv[2]);
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
  if (command == L"request" && argc == 3) return SendRequest(std::wcstoul(argv[2], nullptr, 10));
  if (command == L"catch-window" && argc == 4) return CatchWindow::Run(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (command == L"fetch" && argc >= 4) {
    FetchCommand fetch;
    if (!fetch.Parse(argc, argv)) return Usage();
    return fetch.now ? fetch.RunNow() : fetch.RunScheduled();
  }
  // Site passwords as the program stores them: "protect PASSWORD SRC", "unprotect TEXT SRC".
  if ((command == L"protect" || command == L"unprotect") && argc == 4) {
    if (!EnsureKeyContainer()) return 1;
    const Text result = command == L"protect" ? ProtectSitePassword(FromWide(argv[2]), FromWide(argv[3]), u"")
                                              : UnprotectSitePassword(FromWide(argv[2]), FromWide(argv[3]), u"");
    PrintUtf8(std::wstring(W(result)));
    return result.empty() ? 1 : 0;
  }
  if (command == L"serve-fixed" && argc == 4)
    return ServeFixed(static_cast<u_short>(std::wcstoul(argv[2], nullptr, 10)), std::wcstoul(argv[3], nullptr, 10));
  if (command == L"startup-shortcut" && argc == 3) return PrintStartupShortcut();
  if (command == L"run-command-line" && argc == 3) return RunCommandLine(argv[2]);
  // The test's own starts into a desktop: the tool lives as long as the program and ends with
  // its exit code.
  if (command == L"run-in-desktop" && argc == 3) {
    const auto code = RunChild(argv[2], INFINITE);
    return code ? static_cast<int>(*code) : 1;
  }
  if (command == L"mutex-exists" && argc == 3) {
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, argv[2]);
    if (!mutex) return 1;
    ::CloseHandle(mutex);
    return 0;
  }
  return Usage();
}

}  // namespace
