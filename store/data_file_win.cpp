#include "store/data_file_win.h"

#include <windows.h>

#include <string>

#include "util/wide_win.h"

namespace {

constexpr char kEmptyDocument[] =
    "<?xml version='1.0' encoding='utf-8'?>\r\n"
    "<pelun xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"/>\r\n";

bool WriteWholeFile(const Text& path, const std::string& bytes) {
  unique_hfile file(::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && ::FlushFileBuffers(file.get());
}

bool FileExists(const Text& path) {
  return ::GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool SaveDataFile(const Text& path, const std::vector<std::unique_ptr<CFolderItem>>& folders,
                  bool fileWasLoaded) {
  if (!folders.empty()) return false;
  if (!fileWasLoaded && FileExists(path)) return true;
  const Text temporary = path + u".tmp";
  if (!WriteWholeFile(temporary, kEmptyDocument)) {
    ::DeleteFileW(W(temporary));
    return false;
  }
  if (!::MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(W(temporary));
    return false;
  }
  return true;
}

unique_hfile LockDataFile(const Text& path) {
  return unique_hfile(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}
