#include "ui/item_statistics.h"

#include <cstdio>

namespace {

// " (30.0%)" after a count, when there were checks to compare with.
Text Share(uint32_t count, uint32_t checks) {
  if (checks == 0) return Text();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, " (%3.1f%%)", static_cast<double>(count) * 100.0 / checks);
  return AsciiToText(buffer);
}

Text Times(uint32_t count) { return UnsignedDecimalText(count) + u"回"; }

const Text& FeedDate(const CItemBase& item) {
  static const Text none;
  if (item.kind != CItemBase::kKindSite) return none;
  const auto& site = static_cast<const CRssSiteItem&>(item);
  return site.articles ? site.articles->FeedDate() : none;
}

}  // namespace

Text StatisticsText(const CItemBase& item, TextView systemTime, bool withFeedLine) {
  Text text = u"■更新日時";
  text += u"\r\nHTTP : " + item.lastModified;
  if (withFeedLine) text += u"\r\nRSS : " + FeedDate(item);
  text += u"\r\nシステム : ";
  if (item.updateTime != 0) text += systemTime;
  text += u"\r\n\r\n■回数";
  text += u"\r\n更新チェック : " + Times(item.checkCount);
  text += u"\r\n新着 : " + Times(item.updateCount) + Share(item.updateCount, item.checkCount);
  text += u"\r\nエラー : " + Times(item.errorCount) + Share(item.errorCount, item.checkCount);
  if (item.HasError()) text += u"\r\n\r\n■エラー\r\n詳細 : " + item.GetErrorText();
  return text + u"\r\n";
}
