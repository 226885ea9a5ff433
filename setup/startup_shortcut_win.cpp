#include "setup/startup_shortcut_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>

#include "setup/setup_rules.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr char16_t kProgramFile[] = u"pelun.exe";

std::optional<Text> ShortcutPath() {
  wchar_t folder[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE)) return std::nullopt;
  Text path = StartupShortcutPath(FromWide(folder));
  // The shell link saves paths of the classic length only.
  if (path.size() >= MAX_PATH) return std::nullopt;
  return path;
}

}  // namespace

void CreateStartupShortcut(const Text& programFolder) {
  const Text target = programFolder + u"\\" + kProgramFile;
  if (::GetFileAttributesW(W(target)) == INVALID_FILE_ATTRIBUTES) return;
  const std::optional<Text> path = ShortcutPath();
  if (!path) return;
  com_ptr<IShellLinkW> link;
  com_ptr<IPersistFile> file;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
      FAILED(link->SetPath(W(target))) || FAILED(link->SetWorkingDirectory(W(programFolder))) ||
      FAILED(link->SetShowCmd(SW_SHOWNORMAL)) || FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
    return;
  file->Save(W(*path), TRUE);
}

void DeleteStartupShortcut() {
  const std::optional<Text> path = ShortcutPath();
  if (path && ::GetFileAttributesW(W(*path)) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(W(*path));
}
