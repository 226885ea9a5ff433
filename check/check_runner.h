// The running side of the check schedule: the waiting queue, the running checks, which of them
// hold a connection, and when a cycle starts and ends. The owner starts the work of each check
// (a download, then a document load) and is told what changed; the runner never sees a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "check/check_schedule.h"
#include "store/item_id.h"
#include "util/text.h"

// The download or load under way for one check; destroying it cancels it.
class CheckWork {
 public:
  virtual ~CheckWork() = default;
};

struct RunningCheck {
  ItemId item = 0;
  Text url;                // the address it was started with, for the per-host limits
  uint32_t startTick = 0;
  bool force = false;
  bool manual = false;
  bool loading = false;    // the body has arrived: the check holds no connection any more
  uint64_t loadTicket = 0;  // which document load belongs to it
  Text lastModified;       // of the answer being loaded
  Text etag;
  std::unique_ptr<CheckWork> work;
};

class CheckRunnerHost {
 public:
  // The address to check; nullopt when the item is gone or nothing to check.
  virtual std::optional<Text> AddressOf(ItemId id) const = 0;
  // Starts the download of a check taken from the queue; null when it could not start (the
  // host records that failure itself).
  virtual std::unique_ptr<CheckWork> StartWork(RunningCheck& check) = 0;
  // A check started or ended (its picture changes).
  virtual void CheckChanged(ItemId id) = 0;
  // The first check of a cycle started, or the last one ended (or all were stopped).
  virtual void CycleChanged(bool checking) = 0;

 protected:
  ~CheckRunnerHost() = default;
};

class CheckRunner {
 public:
  struct Limits {
    std::size_t connection = 1;    // downloads at a time
    std::vector<Text> limitUrls;   // address fragments of which one download at a time
  };

  explicit CheckRunner(CheckRunnerHost& host) : host_(host) {}
  CheckRunner(const CheckRunner&) = delete;
  CheckRunner& operator=(const CheckRunner&) = delete;

  // False when the item already waits or runs.
  bool Enqueue(const WAITCUEITEM& entry);
  bool IsWaiting(ItemId id) const { return waiting_.Contains(id); }
  RunningCheck* Find(ItemId id) const;
  bool Checking() const { return checking_; }
  const std::vector<std::unique_ptr<RunningCheck>>& Running() const { return running_; }

  // Starts waiting checks while downloads are fewer than the connection limit; ends the cycle
  // when nothing waits or runs.
  void StartChecks(const Limits& limits, uint32_t now);
  // The check's body arrived and its document loads with `work`: its connection is free.
  void BeginLoading(ItemId id, std::unique_ptr<CheckWork> work, uint64_t ticket);
  // Ends a check (its work is cancelled) and tells the host; Cancel does not tell it.
  void End(ItemId id);
  void Cancel(ItemId id);
  // The first running check older than the timeout.
  std::optional<ItemId> TimedOut(uint32_t now, uint32_t timeoutMilliseconds) const;
  // Empties the queue and cancels every running check; a cycle under way ends.
  void Stop();

 private:
  std::size_t Transferring() const;

  CheckRunnerHost& host_;
  CCheckQueue waiting_;
  std::vector<std::unique_ptr<RunningCheck>> running_;
  bool checking_ = false;
};
