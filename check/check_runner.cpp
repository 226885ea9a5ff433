#include "check/check_runner.h"

#include <algorithm>

bool CheckRunner::Enqueue(const WAITCUEITEM& entry) {
  if (waiting_.Contains(entry.item) || Find(entry.item)) return false;
  waiting_.Push(entry);
  return true;
}

RunningCheck* CheckRunner::Find(ItemId id) const {
  auto found = std::find_if(running_.begin(), running_.end(),
                            [id](const auto& check) { return check->item == id; });
  return found == running_.end() ? nullptr : found->get();
}

std::size_t CheckRunner::Transferring() const {
  return static_cast<std::size_t>(
      std::count_if(running_.begin(), running_.end(), [](const auto& check) { return !check->loading; }));
}

void CheckRunner::StartChecks(const Limits& limits, uint32_t now) {
  const auto addressOf = [this](ItemId id) { return host_.AddressOf(id); };
  while (!waiting_.Empty() && Transferring() < limits.connection) {
    std::vector<Text> transferringUrls;
    for (const auto& check : running_)
      if (!check->loading) transferringUrls.push_back(check->url);
    const auto next = waiting_.TakeNext(addressOf, transferringUrls, limits.limitUrls);
    if (!next) break;
    const std::optional<Text> url = host_.AddressOf(next->item);
    if (!url) continue;
    auto check = std::make_unique<RunningCheck>();
    check->item = next->item;
    check->url = *url;
    check->startTick = now;
    check->force = next->force;
    check->manual = next->manual;
    check->work = host_.StartWork(*check);
    if (!check->work) {
      host_.CheckChanged(next->item);
      continue;
    }
    running_.push_back(std::move(check));
    host_.CheckChanged(next->item);
    if (!checking_) {
      checking_ = true;
      host_.CycleChanged(true);
    }
  }
  if (checking_ && waiting_.Empty() && running_.empty()) {
    checking_ = false;
    host_.CycleChanged(false);
  }
}

void CheckRunner::BeginLoading(ItemId id, std::unique_ptr<CheckWork> work, uint64_t ticket) {
  if (RunningCheck* check = Find(id)) {
    check->work = std::move(work);
    check->loading = true;
    check->loadTicket = ticket;
  }
}

void CheckRunner::Cancel(ItemId id) {
  std::erase_if(running_, [id](const auto& check) { return check->item == id; });
}

void CheckRunner::End(ItemId id) {
  Cancel(id);
  host_.CheckChanged(id);
}

std::optional<ItemId> CheckRunner::TimedOut(uint32_t now, uint32_t timeoutMilliseconds) const {
  std::vector<uint32_t> startTicks;
  for (const auto& check : running_) startTicks.push_back(check->startTick);
  const auto timedOut = FirstTimedOut(startTicks, now, timeoutMilliseconds);
  if (!timedOut) return std::nullopt;
  return running_[*timedOut]->item;
}

void CheckRunner::Stop() {
  waiting_.Clear();
  if (running_.empty()) return;
  std::vector<ItemId> stopped;
  for (const auto& check : running_) stopped.push_back(check->item);
  running_.clear();
  if (checking_) {
    checking_ = false;
    host_.CycleChanged(false);
  }
  for (ItemId id : stopped) host_.CheckChanged(id);
}
