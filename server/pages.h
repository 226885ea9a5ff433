// The documents of the local server, built from the live tree on every request: the top page,
// the folder list the toolbar band reads, the tab-bar script and the article pages.
#pragma once

#include "server/page_source.h"
#include "store/item_id.h"
#include "util/text.h"

Text BuildTopPage(const IPageSource& source);
// The exact form is what the toolbar band parses.
Text BuildFolderListXml(const IPageSource& source);
// Draws the folder tabs above an article page; id is the page's item.
Text BuildBarScript(const IPageSource& source, ItemId id);
// The article page of a folder or site, or kErrorPage. Every page but the error page marks
// what it shows read through source.MarkRead.
Text BuildPage(IPageSource& source, ItemId id, bool withNew);
