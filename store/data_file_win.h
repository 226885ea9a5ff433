// The data file on disk: writing it safely and holding it against changes by others.
#pragma once

#include <memory>
#include <vector>

#include "store/item_tree.h"
#include "util/text.h"
#include "util/unique_handle_win.h"

inline constexpr char16_t kDataFileName[] = u"pelun.dat";

// Writes the tree to `path` through a temporary file that replaces the old one only when it is
// complete, so an interrupted save leaves the previous file intact. This version writes the
// document frame (declaration and root element); folder and site elements come with the data
// file reader, and until then a tree that holds folders is refused rather than stored half.
// A file that exists but was never loaded is left untouched: the user's data is not ours to
// overwrite before we can read it.
[[nodiscard]] bool SaveDataFile(const Text& path,
                                const std::vector<std::unique_ptr<CFolderItem>>& folders,
                                bool fileWasLoaded);

// Opens the data file for reading with read sharing only, so others may read but not change or
// delete it while the handle lives.
unique_hfile LockDataFile(const Text& path);
