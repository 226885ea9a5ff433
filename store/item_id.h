// The id by which pages, URLs, menus and the toolbar band address a folder or site.
#pragma once

#include <cstdint>

// The handle of the item's node in the view's tree control, written as an unsigned decimal
// number; valid while the program runs. 0 means none.
using ItemId = std::uintptr_t;
