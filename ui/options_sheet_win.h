// The options sheet "オプション" with its four pages over an OptionsForm.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/options_form.h"

// Edits `form` in place; false (the form then undefined) when cancelled.
[[nodiscard]] bool RunOptionsSheet(HWND owner, HINSTANCE instance, OptionsForm& form);

// The common file-open dialog with a filter of "label|pattern|...||", starting at `current`;
// nullopt when cancelled.
std::optional<Text> BrowseForFile(HWND owner, TextView filter, const Text& current);
