// The id by which pages, URLs, menus and the toolbar band address a folder or site.
#pragma once

#include <cstdint>

// Written as an unsigned decimal number; valid while the program runs; 0 means none. On 32-bit
// Windows it is the handle of the item's node in the view's tree control (see ItemIdTable).
using ItemId = uint32_t;
