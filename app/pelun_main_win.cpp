// Entry point of pelun.exe.
#include <winsock2.h>  // before windows.h, which would bring the old socket header
#include <windows.h>

#include "app/application_win.h"
#include "util/wide_win.h"

namespace {

// The raw command line without the program name, as the platform passes it.
Text ArgumentsOf(const wchar_t* commandLine) {
  Text all = FromWide(commandLine);
  size_t i = 0;
  if (!all.empty() && all[0] == u'"') {
    i = all.find(u'"', 1);
    i = (i == Text::npos) ? all.size() : i + 1;
  } else {
    while (i < all.size() && all[i] != u' ' && all[i] != u'\t') ++i;
  }
  while (i < all.size() && (all[i] == u' ' || all[i] == u'\t')) ++i;
  return all.substr(i);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int exitCode = 0;
  try {
    Cmorwen3App app(instance, ArgumentsOf(::GetCommandLineW()));
    if (app.InitInstance()) {
      MSG message;
      while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (app.PreTranslateMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
    exitCode = app.ExitInstance();
  } catch (...) {
    exitCode = 1;
  }
  return exitCode;
}
