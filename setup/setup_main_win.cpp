// Entry point of setup.exe: the start-up shortcut by command line, or the window that
// registers the toolbar band.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/directories.h"
#include "setup/setup_dialog_win.h"
#include "setup/setup_rules.h"
#include "setup/startup_shortcut_win.h"
#include "util/wide_win.h"

namespace {

// The folder of this program, without a trailing backslash.
Text ProgramFolder() {
  Text folder = QueryProgramDirectory();
  if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  return folder;
}

bool BandBeside(const Text& programFolder) {
  return ::GetFileAttributesW(W(programFolder + u"\\pelunband.dll")) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (FAILED(::OleInitialize(nullptr))) return 1;
  const Text folder = ProgramFolder();
  switch (SetupModeOf(FromWide(commandLine))) {
    case SetupMode::kInstall:
      CreateStartupShortcut(folder);
      break;
    case SetupMode::kUninstall:
      DeleteStartupShortcut();
      break;
    case SetupMode::kWindow:
      if (BandBeside(folder)) {
        SetupDialogData data{folder};
        RunSetupDialog(instance, data);
      }
      break;
  }
  ::OleUninitialize();
  return 0;
}
