#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "app/directories.h"
#include "store/profile_file.h"
#include "util/wide_win.h"

namespace {

// Beyond the longest path the platform's wide functions accept.
constexpr DWORD kMaxModulePathChars = 32768;

Text QueryDocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
    return Text();
  return FromWide(path);
}

// The whole path, however long: the length rule belongs to the caller.
Text QuerySystemTemp() {
  DWORD needed = ::GetTempPathW(0, nullptr);
  if (needed == 0) return Text();
  std::vector<wchar_t> buffer(needed + 1);
  DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return Text();
  return FromWide(buffer.data(), length);
}

}  // namespace

Text QueryProgramDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (buffer.size() <= kMaxModulePathChars) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return Text();
    if (length < buffer.size()) return DirectoryOfFile(FromWide(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // cut short: try again with room to spare
  }
  return Text();
}

AppDirectories QueryAppDirectories() { return QueryAppDirectoriesFor(QueryProgramDirectory()); }

AppDirectories QueryAppDirectoriesFor(const Text& programDirectory) {
  PlatformFolders folders{programDirectory, QueryDocumentsFolder(), QuerySystemTemp()};
  const CIniFile defineIni(folders.programDirectory + kDefineIniFileName);
  return SettleDirectories(defineIni, folders);
}
