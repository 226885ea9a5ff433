#include "ui/ticker_walk.h"

#include "server/request_router.h"

namespace {

// One pass from `from` to the end of the folders.
std::optional<TickerArticle> FindFrom(const FolderList& folders, const TickerCursor& from, TickerCursor& found) {
  for (size_t f = from.folder; f < folders.size(); ++f) {
    const CFolderItem& folder = *folders[f];
    if (folder.newFlag == 0) continue;
    const auto& children = folder.Children();
    for (size_t s = f == from.folder ? from.site : 0; s < children.size(); ++s) {
      const auto* site = dynamic_cast<const CRssSiteItem*>(children[s].get());
      if (!site || site->newFlag == 0 || !site->articles) continue;
      const auto& articles = site->articles->Items();
      const bool resume = f == from.folder && s == from.site;
      for (size_t a = resume ? from.article : 0; a < articles.size(); ++a) {
        if (articles[a]->newFlag == 0) continue;
        found = {f, s, a + 1};
        return TickerArticle{&folder, site, articles[a].get()};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

bool AnyTopFolderHasNews(const FolderList& folders) {
  for (const auto& folder : folders)
    if (folder->newFlag != 0) return true;
  return false;
}

std::optional<TickerArticle> NextTickerArticle(const FolderList& folders, TickerCursor& cursor) {
  TickerCursor next;
  auto found = FindFrom(folders, cursor, next);
  if (!found) found = FindFrom(folders, TickerCursor{}, next);
  if (found) cursor = next;
  return found;
}

void TickerHistory::Add(Text title, Text link) {
  if (entries_.size() >= kCapacity) entries_.erase(entries_.begin());
  entries_.push_back({std::move(title), std::move(link)});
}

TickerEntry NextTickerEntry(const FolderList& folders, TickerCursor& cursor, TickerHistory& history,
                            uint16_t port, const std::function<ItemId(const CItemBase&)>& idOf) {
  TickerEntry entry;
  entry.news = AnyTopFolderHasNews(folders);
  if (!entry.news) return entry;
  const auto found = NextTickerArticle(folders, cursor);
  if (!found) {
    entry.title = kTickerNothingFound;
    return entry;
  }
  entry.found = true;
  entry.siteName = found->site->GetTitle();
  entry.title = found->article->title;
  entry.link = found->article->link;
  entry.folder = idOf(*found->folder);
  entry.folderUrl = ShowArticlesUrl(port, entry.folder, false);
  entry.siteUrl = ShowArticlesUrl(port, idOf(*found->site), false);
  history.Add(entry.title, entry.link);
  return entry;
}

std::vector<TickerMenuItem> BuildTickerMenu(const TickerEntry& entry, const TickerHistory& history,
                                            const std::vector<TopFolderState>& folders,
                                            std::optional<size_t> currentFolder, uint32_t closeCommand) {
  using Kind = TickerMenuItem::Kind;
  std::vector<TickerMenuItem> menu;
  const auto& shown = history.Entries();
  if (entry.found && !shown.empty()) {
    const uint32_t newest = kTickerHistoryFirst + static_cast<uint32_t>(shown.size() - 1);
    menu.push_back({Kind::kCommand, MenuLabel(entry.siteName), kTickerOpenSite, true, false, {}});
    menu.push_back({Kind::kCommand, MenuLabel(entry.title), newest, false, false, {}});
  } else {
    // Nothing is shown: no entry may open an older article in its place.
    menu.push_back({Kind::kCommand, MenuLabel(entry.title), 0, false, false, {}});
  }
  // With nothing current every entry is an older one.
  const size_t count = entry.found && !shown.empty() ? shown.size() - 1 : shown.size();
  if (count > 0) {
    TickerMenuItem older{Kind::kSubmenu, u"履歴", 0, false, false, {}};
    for (size_t i = 0; i < count; ++i) {
      const size_t index = count - 1 - i;
      older.children.push_back({Kind::kCommand,
                                u"&" + UnsignedDecimalText(static_cast<uint32_t>(i + 1)) + u" " +
                                    MenuLabel(shown[index].title),
                                kTickerHistoryFirst + static_cast<uint32_t>(index), false, false, {}});
    }
    menu.push_back(std::move(older));
  }
  menu.push_back({Kind::kSeparator, {}, 0, false, false, {}});
  const TrayFolderEntries entries = BuildTrayFolderEntries(folders);
  for (size_t p = 0; p < entries.folders.size(); ++p)
    menu.push_back({Kind::kCommand, entries.folders[p].text, entries.folders[p].command, false,
                    currentFolder == p, {}});
  if (!folders.empty()) menu.push_back({Kind::kSeparator, {}, 0, false, false, {}});
  menu.push_back({Kind::kCommand, u"閉じる(&X)", closeCommand, false, false, {}});
  return menu;
}

Text MenuLabel(TextView text) {
  Text label;
  for (char16_t c : CutText(text, kMenuLabelChars)) {
    if (c == u'&') label += u"&&";
    else if (c < 0x20 || c == 0x7F) label += u' ';
    else label += c;
  }
  if (text.size() > kMenuLabelChars) label += u"…";
  return label;
}
