#include "check/check_schedule.h"

#include <algorithm>
#include <cstdio>

#include "util/date_time.h"

bool IsFolderDue(int32_t interval, uint32_t minuteCounter, int32_t timer) {
  if (interval > 0) return minuteCounter % static_cast<uint32_t>(interval) == 0;
  if (interval < 0) return timer > 0 && minuteCounter % static_cast<uint32_t>(timer) == 0;
  return false;
}

bool IsAutoSaveMinute(uint32_t minuteCounter, int32_t timer) {
  return timer > 0 && minuteCounter % (2u * static_cast<uint32_t>(timer)) == 0;
}

bool NetworkCountsAsUp(bool alive, uint32_t errorAfterQuery) { return alive || errorAfterQuery != 0; }

Text FormatStamp(double localDateTime) {
  const auto fields = DateTimeToFields(localDateTime);
  if (!fields) return Text();
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", fields->year, fields->month,
                fields->day, fields->hour, fields->minute, fields->second);
  return AsciiToText(text);
}

double ParseStamp(TextView text) {
  // Six numbers separated by "/", " " and ":", as FormatStamp writes them.
  int values[6] = {};
  const char16_t separators[5] = {u'/', u'/', u' ', u':', u':'};
  std::size_t at = 0;
  text = Trim(text);
  for (int i = 0; i < 6; ++i) {
    const std::size_t begin = at;
    while (at < text.size() && IsAsciiDigit(text[at]) && at - begin < 4) values[i] = values[i] * 10 + (text[at++] - u'0');
    if (at == begin) return 0;
    if (i < 5) {
      if (at >= text.size() || text[at] != separators[i]) return 0;
      ++at;
    }
  }
  if (at != text.size()) return 0;
  return DateTimeFromFields({values[0], values[1], values[2], values[3], values[4], values[5]});
}

bool IsRecentReloadStamp(TextView stamp, double now) {
  const double last = ParseStamp(stamp);
  return last != 0 && now - last <= kForcedReloadDays && now >= last;
}

bool CCheckQueue::Contains(ItemId item) const { return members_.contains(item); }

void CCheckQueue::Push(const WAITCUEITEM& entry) {
  if (members_.insert(entry.item).second) waiting_.push_back(entry);
}

namespace {

bool SharesLimitedHost(const Text& address, const std::vector<Text>& runningAddresses,
                       const std::vector<Text>& limitFragments) {
  for (const Text& fragment : limitFragments) {
    if (fragment.empty() || address.find(fragment) == Text::npos) continue;
    for (const Text& running : runningAddresses)
      if (running.find(fragment) != Text::npos) return true;
  }
  return false;
}

}  // namespace

std::optional<WAITCUEITEM> CCheckQueue::TakeNext(const AddressOf& addressOf,
                                                 const std::vector<Text>& runningAddresses,
                                                 const std::vector<Text>& limitFragments) {
  for (auto entry = waiting_.begin(); entry != waiting_.end();) {
    const std::optional<Text> address = addressOf(entry->item);
    if (!address) {
      members_.erase(entry->item);
      entry = waiting_.erase(entry);
      continue;
    }
    if (SharesLimitedHost(*address, runningAddresses, limitFragments)) {
      ++entry;
      continue;
    }
    const WAITCUEITEM taken = *entry;
    members_.erase(taken.item);
    waiting_.erase(entry);
    return taken;
  }
  return std::nullopt;
}

std::optional<std::size_t> FirstTimedOut(const std::vector<uint32_t>& startTicks, uint32_t now,
                                         uint32_t timeoutMilliseconds) {
  for (std::size_t i = 0; i < startTicks.size(); ++i)
    if (now - startTicks[i] > timeoutMilliseconds) return i;
  return std::nullopt;
}
