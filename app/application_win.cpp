#include <winsock2.h>

#include "app/application_win.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/command_line.h"
#include "app/command_line_forwarding_win.h"
#include "store/profile_file.h"
#include "store/settings.h"
#include "util/os_version.h"
#include "shared/names.h"
#include "util/wide_win.h"

Cmorwen3App::Cmorwen3App(HINSTANCE instance, Text commandLine)
    : instance_(instance), commandLine_(std::move(commandLine)) {}

Cmorwen3App::~Cmorwen3App() {
  mainFrame_.reset();
  if (oleStarted_) ::OleUninitialize();
  if (socketsStarted_) ::WSACleanup();
}

bool Cmorwen3App::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!InitializeSockets()) {
    ::MessageBoxW(nullptr, L"Windows ソケットの初期化に失敗しました。", W(kApplicationTitle),
                  MB_OK | MB_ICONERROR);
    return false;
  }
  if (!InitializeOle()) {
    ::MessageBoxW(nullptr, L"OLE の初期化に失敗しました。", W(kApplicationTitle), MB_OK | MB_ICONERROR);
    return false;
  }
  if (!AcquireInstanceLock()) {
    ForwardCommandLine(commandLine_);
    return false;
  }
  if (WalkCommandLine(commandLine_) == CommandLineAction::kExit) return false;

  const AppDirectories directories = QueryAppDirectories();
  dataDirectory_ = directories.data;
  tempDirectory_ = directories.temp;
  if (IsWindowsXpOrLater() && !AcquirePortLock()) {
    ::MessageBoxW(nullptr, L"他のユーザーが、同一ポートを使用するpelunを起動中です。",
                  W(kApplicationTitle), MB_OK | MB_ICONERROR);
    return false;
  }

  mainFrame_ = std::make_unique<CMainFrame>(directories);
  if (!mainFrame_->LoadFrame(instance_)) return false;
  ForwardCommandLine(commandLine_);
  return true;
}

int Cmorwen3App::ExitInstance() { return 0; }

bool Cmorwen3App::PreTranslateMessage(MSG& message) const {
  return mainFrame_ && mainFrame_->TranslateAccelerator(message);
}

bool Cmorwen3App::InitializeSockets() {
  WSADATA data{};
  socketsStarted_ = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
  return socketsStarted_;
}

bool Cmorwen3App::InitializeOle() {
  oleStarted_ = SUCCEEDED(::OleInitialize(nullptr));
  return oleStarted_;
}

bool Cmorwen3App::AcquireInstanceLock() {
  instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, W(kInstanceMutexName)));
  return instanceMutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

// One copy per server port across all logons of the machine.
bool Cmorwen3App::AcquirePortLock() {
  const uint16_t port = ReadStartupPort(CIniFile(dataDirectory_ + kSettingsFileName));
  portMutex_.reset(::CreateMutexW(nullptr, FALSE, W(PortMutexName(port))));
  return portMutex_ && ::GetLastError() != ERROR_ALREADY_EXISTS;
}
