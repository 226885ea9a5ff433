#include "store/data_file_win.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

bool SaveDataFile(const Text& path, const FolderList& folders) {
  const auto bytes = SaveXmlDocument(BuildDataDocument(folders));
  return bytes && ReplaceFileContents(path, *bytes);
}

namespace {

// Test runs can make a load fail part way, as running out of memory in a large file does: the
// variable names how many folders are kept before the load throws.
void FailPartWayWhenAsked(FolderList& folders) {
  wchar_t value[16] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"PELUN_LOAD_FAULT_AFTER", value, 16);
  if (length == 0 || length >= 16) return;
  const size_t kept = std::wcstoul(value, nullptr, 10);
  if (folders.size() > kept) folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(kept), folders.end());
  throw std::bad_alloc();
}

}  // namespace

bool LoadDataFile(const Text& path, const ItemReadOptions& options, FolderList& folders) {
  const auto root = LoadXmlFile(path);
  if (!root || !ReadDataDocument(*root, options, folders)) return false;
  FailPartWayWhenAsked(folders);
  return true;
}

unique_hfile LockDataFile(const Text& path) {
  return unique_hfile(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}
