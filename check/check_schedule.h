// The decisions of the check schedule, apart from the timers and messages that drive them:
// which folders are due, when the state is saved, whether the network allows the first check, whether a check-all may be conditional, which
// waiting check starts next and which running one has timed out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

#include "store/item_id.h"
#include "util/text.h"

inline constexpr uint32_t kMinuteMilliseconds = 60000;
// A check-all within this many days of the last forced one may use conditional requests.
inline constexpr int kForcedReloadDays = 3;

// interval > 0: every `interval` minutes; < 0: every `timer` minutes (timer 0: never); 0: never.
bool IsFolderDue(int32_t interval, uint32_t minuteCounter, int32_t timer);
// The settings and the data file are saved every 2 × timer minutes.
bool IsAutoSaveMinute(uint32_t minuteCounter, int32_t timer);

// Whether the start-up check may run, from the system's network state: up, down (the query
// leaves no error), or unknown (it leaves one, as when the system's event notification service
// is stopped), which counts as up, or the check would wait for ever.
bool NetworkCountsAsUp(bool alive, uint32_t errorAfterQuery);

// "2006/03/04 05:06:07", the form the stamp of the last forced check-all is kept in.
Text FormatStamp(double localDateTime);
// 0 when the text is no such date-time.
double ParseStamp(TextView text);
// Whether a check-all may send conditional requests: the stamp is a date-time no more than
// kForcedReloadDays before now.
bool IsRecentReloadStamp(TextView stamp, double now);

struct WAITCUEITEM {
  ItemId item = 0;
  bool force = false;
  bool manual = false;
};

// First in, first out, each item at most once.
class CCheckQueue {
 public:
  bool Contains(ItemId item) const;
  void Push(const WAITCUEITEM& entry);
  void Clear() {
    waiting_.clear();
    members_.clear();
  }
  bool Empty() const { return waiting_.empty(); }
  std::size_t Size() const { return waiting_.size(); }

  // How the queue sees an item: nullopt when it no longer exists or is nothing to check; its
  // address otherwise.
  using AddressOf = std::function<std::optional<Text>(ItemId)>;

  // Walks from the head: entries whose item is gone are dropped; an entry whose address shares
  // a limited fragment with a running check's address waits, and later entries may pass it.
  // Removes and returns the first entry that may start.
  std::optional<WAITCUEITEM> TakeNext(const AddressOf& addressOf,
                                      const std::vector<Text>& runningAddresses,
                                      const std::vector<Text>& limitFragments);

 private:
  std::deque<WAITCUEITEM> waiting_;
  std::unordered_set<ItemId> members_;  // a check-all queues thousands: membership is a lookup
};

// The first running check (by start tick, in list order) older than `timeoutMilliseconds` at
// `now`; tick arithmetic wraps as the 32-bit tick count does.
std::optional<std::size_t> FirstTimedOut(const std::vector<uint32_t>& startTicks, uint32_t now,
                                         uint32_t timeoutMilliseconds);
