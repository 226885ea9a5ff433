// Whole-file reads and writes for documents the program keeps.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/text.h"

inline constexpr size_t kMaxDocumentFileBytes = size_t(256) << 20;

// nullopt when the file cannot be opened or read, or is larger than kMaxDocumentFileBytes.
std::optional<std::string> ReadWholeFile(const Text& path);

// Writes `bytes` beside `path` and then puts the new file in its place in one step, so that a
// failure at any point (a full disk, a read-only target, a crash) leaves the old file as it was.
[[nodiscard]] bool ReplaceFileContents(const Text& path, std::string_view bytes);

bool FileExists(const Text& path);
