// The property sheets of a site (全般, 情報) and of a folder (全般, ブロックフィルタ, and OPML for
// a folder that follows a list).
#pragma once

#include <windows.h>

#include "ui/item_properties.h"

struct SiteSheetData {
  SiteForm form;    // in and out
  Text link;        // shown only
  Text statistics;  // shown only
};

struct FolderSheetData {
  FolderForm form;  // in and out
  Text statistics;  // shown on the OPML page
};

// False when cancelled.
[[nodiscard]] bool RunSiteSheet(HWND owner, HINSTANCE instance, TextView caption, SiteSheetData& data);
[[nodiscard]] bool RunFolderSheet(HWND owner, HINSTANCE instance, TextView caption, FolderSheetData& data);
