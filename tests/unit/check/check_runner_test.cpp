#include "check/check_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// Counts its live works, so a test sees what was cancelled.
struct FakeWork : CheckWork {
  explicit FakeWork(int& live) : live_(live) { ++live_; }
  ~FakeWork() override { --live_; }
  int& live_;
};

struct FakeHost : CheckRunnerHost {
  std::optional<Text> AddressOf(ItemId id) const override {
    auto found = addresses.find(id);
    if (found == addresses.end()) return std::nullopt;
    return found->second;
  }
  std::unique_ptr<CheckWork> StartWork(RunningCheck& check) override {
    started.push_back(check.item);
    if (failing.contains(check.item)) return nullptr;
    return std::make_unique<FakeWork>(liveWorks);
  }
  void CheckChanged(ItemId id) override { changed.push_back(id); }
  void CycleChanged(bool checking) override { cycles.push_back(checking); }

  std::map<ItemId, Text> addresses;
  std::set<ItemId> failing;
  std::vector<ItemId> started;
  std::vector<ItemId> changed;
  std::vector<bool> cycles;
  int liveWorks = 0;
};

}  // namespace

// A cycle of hundreds of sites through five connections: loads free their connection, every
// site starts once in queue order, and the cycle is announced once at each end.
TEST(CheckRunner, CycleOfHundredsThroughFiveConnections) {
  constexpr ItemId kSites = 600;
  FakeHost host;
  for (ItemId id = 1; id <= kSites; ++id) host.addresses[id] = u"http://feeds.example/" + Text(1, char16_t(u'a' + id % 26));
  host.failing = {7};
  CheckRunner runner(host);
  for (ItemId id = 1; id <= kSites; ++id) EXPECT_TRUE(runner.Enqueue({id, false, false}));
  EXPECT_FALSE(runner.Enqueue({3, true, false})) << "an item waits once";

  const CheckRunner::Limits limits{5, {}};
  runner.StartChecks(limits, 100);
  ASSERT_EQ(runner.Running().size(), 5u);
  EXPECT_EQ(host.cycles, std::vector<bool>{true});
  size_t maxLoading = 0;
  int load = 0;
  while (!runner.Running().empty()) {
    // The oldest download's body arrives and loads; the next site takes its connection.
    RunningCheck* downloading = nullptr;
    for (const auto& check : runner.Running())
      if (!check->loading) { downloading = check.get(); break; }
    if (downloading && ++load % 3 != 0) {
      runner.BeginLoading(downloading->item, std::make_unique<FakeWork>(host.liveWorks), 1);
    } else {
      runner.End(runner.Running().front()->item);
    }
    runner.StartChecks(limits, 200);
    size_t transferring = 0, loading = 0;
    for (const auto& check : runner.Running()) (check->loading ? loading : transferring)++;
    EXPECT_LE(transferring, 5u);
    maxLoading = std::max(maxLoading, loading);
  }
  EXPECT_GT(maxLoading, 0u) << "loads overlap the next downloads";
  ASSERT_EQ(host.started.size(), kSites);
  for (ItemId id = 1; id <= kSites; ++id) EXPECT_EQ(host.started[id - 1], id);
  EXPECT_EQ(host.cycles, (std::vector<bool>{true, false}));
  EXPECT_EQ(host.liveWorks, 0);
  EXPECT_FALSE(runner.Checking());
}

TEST(CheckRunner, HostLimitsTimeoutsGoneItemsAndStop) {
  FakeHost host;
  host.addresses = {{1, u"http://slow.example/a"}, {2, u"http://slow.example/b"}, {3, u"http://other.example/c"}};
  CheckRunner runner(host);
  for (ItemId id : {1, 2, 4, 3}) runner.Enqueue({id, id == 3, true});
  const CheckRunner::Limits limits{5, {u"slow.example"}};
  runner.StartChecks(limits, 1000);
  // 2 waits for the same limited host, 4 is gone, 3 passes.
  EXPECT_EQ(host.started, (std::vector<ItemId>{1, 3}));
  EXPECT_TRUE(runner.IsWaiting(2));
  EXPECT_FALSE(runner.IsWaiting(4));
  ASSERT_TRUE(runner.Find(3));
  EXPECT_TRUE(runner.Find(3)->force);
  EXPECT_TRUE(runner.Find(3)->manual);

  // A loading check holds no connection, and no host either.
  runner.BeginLoading(1, std::make_unique<FakeWork>(host.liveWorks), 9);
  runner.StartChecks(limits, 5000);
  EXPECT_EQ(host.started, (std::vector<ItemId>{1, 3, 2}));
  EXPECT_EQ(runner.Find(1)->loadTicket, 9u);

  EXPECT_EQ(runner.TimedOut(31000, 30000), std::nullopt);
  EXPECT_EQ(runner.TimedOut(31001, 30000), std::optional<ItemId>(1));
  runner.Cancel(1);
  EXPECT_EQ(runner.TimedOut(31001, 30000), std::optional<ItemId>(3));

  host.changed.clear();
  runner.Enqueue({1, false, false});
  runner.Stop();
  EXPECT_TRUE(runner.Running().empty());
  EXPECT_FALSE(runner.IsWaiting(1));
  EXPECT_EQ(host.liveWorks, 0) << "stopping cancels every work";
  EXPECT_EQ(host.changed, (std::vector<ItemId>{3, 2}));
  EXPECT_EQ(host.cycles, (std::vector<bool>{true, false}));
}
