// Addresses outside the program that its pages link to, kept together so that changing a
// search engine or shop is an edit of this one file.
#pragma once

#include "util/text.h"

// The top page's search form sends the box as this parameter to the web search.
inline constexpr TextView kWebSearchUrl = u"https://www.google.com/search";
inline constexpr TextView kWebSearchQueryName = u"q";

// The shopping button appends the box, URI-encoded, to this address.
inline constexpr TextView kShoppingSearchUrl = u"https://www.amazon.co.jp/s?k=";

// The program has no download site of its own yet, so the link leads back to the top page.
inline constexpr TextView kDownloadPageUrl = u"/";
