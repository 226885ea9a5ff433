// Creating and reading shared text blocks as anonymous file mappings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "util/unique_handle_win.h"

// A new mapping holding the block for `ansiText`; empty on failure.
unique_handle CreateSharedTextBlock(std::string_view ansiText);
// The same for bytes that carry their own terminators.
unique_handle CreateSharedBytesBlock(std::string_view bytes);

// Copies the text out of a block handle that belongs to this process, and closes the handle.
std::optional<std::string> TakeSharedTextBlock(HANDLE block);
// All bytes of the block, terminators included; closes the handle.
std::optional<std::string> TakeSharedBytesBlock(HANDLE block);

// Duplicates `block` into the process that owns `window` (same access, inheritable); the
// returned value is only meaningful inside that process. Null on failure.
HANDLE DuplicateSharedTextBlockTo(HWND window, HANDLE block);
