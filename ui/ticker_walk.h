// What the ticker shows: its walk over the new articles of the top-level folders, the history of
// the articles it showed, and the entries of its context menu.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/tray_texts.h"
#include "store/data_file.h"
#include "store/item_id.h"
#include "store/item_tree.h"
#include "util/text.h"

// Where the walk goes on: positions in the model, which may have changed since (a position
// past the end simply ends the pass).
struct TickerCursor {
  size_t folder = 0;
  size_t site = 0;
  size_t article = 0;
};

struct TickerArticle {
  const CFolderItem* folder = nullptr;
  const CRssSiteItem* site = nullptr;
  const CRssItem* article = nullptr;
};

bool AnyTopFolderHasNews(const FolderList& folders);

// The first new article from the cursor on (folders and sites without news are skipped), or,
// once the end is reached, from the first folder again; the cursor then stands after it.
// nullopt when a whole pass finds none.
std::optional<TickerArticle> NextTickerArticle(const FolderList& folders, TickerCursor& cursor);

// The articles shown, oldest first, at most ten.
class TickerHistory {
 public:
  static constexpr size_t kCapacity = 10;
  struct Entry {
    Text title;
    Text link;
  };

  void Add(Text title, Text link);
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

inline constexpr char16_t kTickerNothingFound[] = u"記事が見つかりません";

struct TickerEntry {
  bool news = false;   // some top-level folder has news; without any the ticker closes
  bool found = false;  // else the title says that no article was found
  Text siteName;
  Text title;
  Text link;
  ItemId folder = 0;
  Text folderUrl;  // the folder's and the site's new-articles pages
  Text siteUrl;
};

// One step of the ticker: the next article, added to the history.
TickerEntry NextTickerEntry(const FolderList& folders, TickerCursor& cursor, TickerHistory& history,
                            uint16_t port, const std::function<ItemId(const CItemBase&)>& idOf);

// Commands of the ticker's context menu. The folder entries use the tray menu's numbers.
inline constexpr uint32_t kTickerOpenSite = 32803;
inline constexpr uint32_t kTickerHistoryFirst = 600;
inline constexpr uint32_t kTickerFolderFirst = kTrayFolderFirst;
// Labels taken from feeds are cut to this many characters.
inline constexpr size_t kMenuLabelChars = 50;

struct TickerMenuItem {
  enum class Kind { kCommand, kSeparator, kSubmenu };
  Kind kind = Kind::kCommand;
  Text text;
  uint32_t command = 0;  // 0: greyed
  bool isDefault = false;
  bool checked = false;
  std::vector<TickerMenuItem> children;
};

// Site name, current title, the older history under "履歴", the folders with the current
// entry's folder checked, and "閉じる(&X)". `currentFolder` is a position in `folders`.
std::vector<TickerMenuItem> BuildTickerMenu(const TickerEntry& entry, const TickerHistory& history,
                                            const std::vector<TopFolderState>& folders,
                                            std::optional<size_t> currentFolder, uint32_t closeCommand);

// A feed's text as a menu label: ampersands doubled (no access keys), tabs and other control
// characters as spaces (a tab would split the label in two columns), cut to kMenuLabelChars.
Text MenuLabel(TextView text);
