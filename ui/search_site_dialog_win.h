// "新規検索サイト": a keyword and one of the defined search sites make the address of a result
// feed; the result page can be looked at first.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/search_sites.h"

struct SearchSiteDialogData {
  std::vector<SearchSite> sites;                 // in: the definitions offered
  std::function<void(const Text& url)> preview;  // in: opens a result page in the browser
  Text feedUrl;                                  // out
};

// False when cancelled.
[[nodiscard]] bool RunSearchSiteDialog(HWND owner, HINSTANCE instance, SearchSiteDialogData& data);
