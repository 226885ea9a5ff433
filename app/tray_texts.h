// What the tray shows and says, built from the top-level folders: the folder entries of the
// tray menu, the new-articles notice, and the tray picture for a check state.
#pragma once

#include <cstdint>
#include <vector>

#include "util/text.h"

// Icon resource ids of the tray pictures.
inline constexpr uint32_t kTrayIconIdle = 188;
inline constexpr uint32_t kTrayIconNews = 189;
inline constexpr uint32_t kTrayIconChecking = 190;
inline constexpr uint32_t kTrayIconChecking2 = 196;  // second picture of the animation

// Command ranges of the tray menu: the stored page (recent) and the new-articles page of the
// folder at position p are kTrayRecentFirst + p and kTrayFolderFirst + p.
inline constexpr uint32_t kTrayRecentFirst = 700;
inline constexpr uint32_t kTrayFolderFirst = 800;
inline constexpr uint32_t kTrayCommandSlots = 100;

// The balloon's limits in characters; longer texts are cut.
inline constexpr size_t kBalloonTitleChars = 63;
inline constexpr size_t kBalloonTextChars = 255;

struct TopFolderState {
  Text title;
  uint32_t fresh = 0;       // children with a new flag
  bool pageExists = false;  // the folder's stored page file is there
};

struct TrayFolderEntry {
  Text text;               // "【title】\tN件" or "【title】\t-", ampersands doubled
  uint32_t command = 0;    // 0: shown greyed
  bool isDefault = false;  // the first folder with news: drawn bold
  Text recentText;         // "【title】"
  uint32_t recentCommand = 0;  // 0: greyed (no stored page, or beyond the command range)
};

struct TrayFolderEntries {
  std::vector<TrayFolderEntry> folders;
  bool anyRecent = false;  // the "recent" pop-up is shown only with an enabled entry
};

// Only the first kTrayCommandSlots folders get commands: beyond them the two ranges would
// overlap, and a recent entry would open (and mark read) another folder's page.
TrayFolderEntries BuildTrayFolderEntries(const std::vector<TopFolderState>& folders);

struct NewsNotice {
  Text title;
  Text text;
};

// With listFolders, one line per folder with news; otherwise one sentence with the number of
// sites that got new articles.
NewsNotice BuildNewsNotice(const std::vector<TopFolderState>& folders, bool listFolders,
                           uint32_t updatedSites);

// The first `maxChars` code units, never ending in half a surrogate pair.
Text CutText(TextView text, size_t maxChars);

uint32_t ChooseTrayIcon(bool checking, bool anyFolderHasNews);
