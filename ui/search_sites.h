// Search sites: services that turn a keyword into a result page and a result feed, defined in
// define.ini as sections "search1", "search2", ... with the keys face, html and rss.
#pragma once

#include <vector>

#include "store/profile.h"
#include "util/text.h"

struct SearchSite {
  Text face;          // the name in the list
  Text pageTemplate;  // "html": the result page, for the preview
  Text feedTemplate;  // "rss": the result feed, registered as a site
};

// Sections from "search1" on, up to the first one that lacks a key or holds an empty value.
std::vector<SearchSite> ReadSearchSites(const IProfile& defineIni);

// Each keyword marker of the template replaced by the form-encoded keyword in its encoding:
// "//key@utf-8//" UTF-8, "//key@euc//" EUC-JP, "//key@sjis//" Shift-JIS (the system code page).
// Empty when the keyword cannot be written in an encoding the template asks for.
Text BuildSearchUrl(TextView urlTemplate, TextView keyword);
