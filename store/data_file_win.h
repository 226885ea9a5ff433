// The data file on disk: written safely through the platform's XML DOM, read back, and held
// against changes by others while the program runs.
#pragma once

#include "store/data_file.h"
#include "util/text.h"
#include "util/unique_handle_win.h"

// Writes the whole tree to `path`. The new file replaces the old one only once it is complete,
// so a failed or interrupted save leaves the previous file intact.
[[nodiscard]] bool SaveDataFile(const Text& path, const FolderList& folders);

// Appends the folders read from `path`; false when the file cannot be read, is not well-formed
// or has no data-file root. May throw when memory runs out part way, with some folders appended.
[[nodiscard]] bool LoadDataFile(const Text& path, const ItemReadOptions& options, FolderList& folders);

// Opens the data file for reading with read sharing only, so others may read but not change or
// delete it while the handle lives.
unique_hfile LockDataFile(const Text& path);
