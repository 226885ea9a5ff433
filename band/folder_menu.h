// The folder menu of the articles button, read from the main program's folder list
// ("/folderlist.xml"), and the news test made on the same list.
#pragma once

#include <optional>
#include <vector>

#include "util/text.h"
#include "util/xml_element.h"

struct FolderMenuItem {
  Text label;  // "【title】\tN件", or "【title】\t-" without news
  Text url;    // the folder's local path ("/new?id"); empty when the list gave no such path
};

struct FolderMenu {
  std::vector<FolderMenuItem> items;
  std::optional<size_t> defaultItem;  // the first folder with news
};

// Nothing when the document is not a folder list.
FolderMenu BuildFolderMenu(const XmlElement& root);

// Whether any folder of the list reports new articles.
bool FolderListHasNews(const XmlElement& root);
