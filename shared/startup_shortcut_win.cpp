#include "shared/startup_shortcut_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>

#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr wchar_t kShortcutFileName[] = L"\\pelun.lnk";
constexpr wchar_t kProgramFileName[] = L"pelun.exe";

std::optional<std::wstring> ShortcutPath() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder))) return std::nullopt;
  if (::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return std::wstring(folder) + kShortcutFileName;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool StartupShortcutExists() {
  const auto path = ShortcutPath();
  return path && FileExists(*path);
}

bool WriteStartupShortcut(const Text& programDirectory) {
  const auto path = ShortcutPath();
  std::wstring folder(W(programDirectory));
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  const std::wstring program = folder + L"\\" + kProgramFileName;
  if (!path || !FileExists(program)) return true;
  com_ptr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
    return false;
  com_ptr<IPersistFile> file;
  return SUCCEEDED(link->SetPath(program.c_str())) && SUCCEEDED(link->SetWorkingDirectory(folder.c_str())) &&
         SUCCEEDED(link->SetShowCmd(SW_SHOWNORMAL)) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
         SUCCEEDED(file->Save(path->c_str(), TRUE));
}

bool DeleteStartupShortcut() {
  const auto path = ShortcutPath();
  return !path || !FileExists(*path) || ::DeleteFileW(path->c_str());
}
