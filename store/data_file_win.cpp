#include "store/data_file_win.h"

#include <windows.h>

#include "util/file_io_win.h"
#include "util/wide_win.h"
#include "util/xml_dom_win.h"

bool SaveDataFile(const Text& path, const FolderList& folders) {
  const auto bytes = SaveXmlDocument(BuildDataDocument(folders));
  return bytes && ReplaceFileContents(path, *bytes);
}

bool LoadDataFile(const Text& path, const ItemReadOptions& options, FolderList& folders) {
  const auto root = LoadXmlFile(path);
  return root && ReadDataDocument(*root, options, folders);
}

unique_hfile LockDataFile(const Text& path) {
  return unique_hfile(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}
