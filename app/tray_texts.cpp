#include "app/tray_texts.h"

namespace {

// A single "&" would underline the next character as an access key.
Text DoubleAmpersands(TextView title) {
  Text doubled(title);
  ReplaceAll(doubled, u"&", u"&&");
  return doubled;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

TrayFolderEntries BuildTrayFolderEntries(const std::vector<TopFolderState>& folders) {
  TrayFolderEntries entries;
  bool defaultTaken = false;
  for (size_t position = 0; position < folders.size(); ++position) {
    const TopFolderState& folder = folders[position];
    const Text title = DoubleAmpersands(folder.title);
    const bool hasCommand = position < kTrayCommandSlots;
    TrayFolderEntry entry;
    entry.text = u"【" + title + u"】\t" +
                 (folder.fresh != 0 ? UnsignedDecimalText(folder.fresh) + u"件" : Text(u"-"));
    entry.command = hasCommand ? kTrayFolderFirst + static_cast<uint32_t>(position) : 0;
    entry.isDefault = folder.fresh != 0 && !defaultTaken;
    defaultTaken = defaultTaken || entry.isDefault;
    entry.recentText = u"【" + title + u"】";
    entry.recentCommand =
        hasCommand && folder.pageExists ? kTrayRecentFirst + static_cast<uint32_t>(position) : 0;
    entries.anyRecent = entries.anyRecent || entry.recentCommand != 0;
    entries.folders.push_back(std::move(entry));
  }
  return entries;
}

NewsNotice BuildNewsNotice(const std::vector<TopFolderState>& folders, bool listFolders,
                           uint32_t updatedSites) {
  if (!listFolders)
    return {u"pelun", UnsignedDecimalText(updatedSites) + u"件のサイトに新着がありました。"};
  NewsNotice notice{u"pelun新着", {}};
  for (const TopFolderState& folder : folders) {
    if (folder.fresh == 0) continue;
    if (!notice.text.empty()) notice.text += u'\n';
    notice.text += u"・" + folder.title + u" (" + UnsignedDecimalText(folder.fresh) + u"件)";
  }
  return notice;
}

Text CutText(TextView text, size_t maxChars) {
  if (text.size() <= maxChars) return Text(text);
  size_t length = maxChars;
  if (length > 0 && IsHighSurrogate(text[length - 1])) --length;
  return Text(text.substr(0, length));
}

uint32_t ChooseTrayIcon(bool checking, bool anyFolderHasNews) {
  if (checking) return kTrayIconChecking;
  return anyFolderHasNews ? kTrayIconNews : kTrayIconIdle;
}
