#include "band/folder_menu.h"

#include "band/found_feeds.h"

namespace {

constexpr char16_t kFolderListName[] = u"folderlist";
constexpr char16_t kFolderName[] = u"folder";

std::vector<const XmlElement*> Folders(const XmlElement& root) {
  if (root.name != kFolderListName) return {};
  return root.Children(kFolderName);
}

// The count of new articles; a missing, negative or unreadable count is none.
uint32_t NewCount(const XmlElement& folder) {
  const int64_t count = LeadingDecimal64(folder.ChildText(u"new"));
  return count > 0 && count <= UINT32_MAX ? static_cast<uint32_t>(count) : 0;
}

// The folder's address is appended to the local server's; only a path of that server may be,
// so that "@host/..." or "//host/..." in a hostile answer cannot lead the browser elsewhere.
Text LocalPath(Text url) {
  const bool path = StartsWith(url, u"/") && !StartsWith(url, u"//") &&
                    url.find_first_of(u"@\\\r\n\t ") == Text::npos;
  return path ? url : Text();
}

}  // namespace

FolderMenu BuildFolderMenu(const XmlElement& root) {
  FolderMenu menu;
  for (const XmlElement* folder : Folders(root)) {
    const uint32_t count = NewCount(*folder);
    Text label = u"【" + MenuText(folder->ChildText(u"title")) + u"】\t";
    label += count ? UnsignedDecimalText(count) + u"件" : Text(u"-");
    if (count && !menu.defaultItem) menu.defaultItem = menu.items.size();
    menu.items.push_back({std::move(label), LocalPath(folder->ChildText(u"url"))});
  }
  return menu;
}

bool FolderListHasNews(const XmlElement& root) {
  for (const XmlElement* folder : Folders(root))
    if (NewCount(*folder)) return true;
  return false;
}
