#include "check/check_schedule.h"

#include <gtest/gtest.h>

#include <map>

#include "check/merge_result.h"
#include "util/date_time.h"

TEST(CheckSchedule, DueFoldersSavesAndTheNetwork) {
  struct Case {
    int32_t interval;
    int32_t timer;
    uint32_t minute;
    bool due;
  } cases[] = {
      {15, 30, 30, true}, {15, 30, 31, false}, {-1, 30, 60, true}, {-1, 30, 45, false},
      {-1, 0, 60, false}, {0, 30, 60, false},  {999, 15, 999, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsFolderDue(c.interval, c.minute, c.timer), c.due) << c.interval << " " << c.minute;
  EXPECT_TRUE(IsAutoSaveMinute(60, 30));
  EXPECT_FALSE(IsAutoSaveMinute(30, 30));
  EXPECT_FALSE(IsAutoSaveMinute(60, 0));

  EXPECT_TRUE(NetworkCountsAsUp(true, 0));
  EXPECT_FALSE(NetworkCountsAsUp(false, 0));  // down: asked again at the next tick
  EXPECT_TRUE(NetworkCountsAsUp(false, 1062));  // the service is not started: cannot tell
}

TEST(CheckSchedule, ReloadStamp) {
  const double now = DateTimeFromFields({2024, 5, 10, 12, 0, 0});
  EXPECT_EQ(FormatStamp(now), u"2024/05/10 12:00:00");
  EXPECT_EQ(ParseStamp(FormatStamp(now)), now);
  EXPECT_TRUE(IsRecentReloadStamp(u"2024/05/07 12:00:00", now));
  EXPECT_FALSE(IsRecentReloadStamp(u"2024/05/07 11:59:59", now));
  EXPECT_FALSE(IsRecentReloadStamp(u"2024/05/11 12:00:00", now));  // from the future
  for (TextView bad : {u"", u"yesterday", u"2024/05/10", u"2024/13/10 12:00:00", u"2024/05/10 12:00:00x"})
    EXPECT_FALSE(IsRecentReloadStamp(bad, now));
}

TEST(CheckSchedule, QueueOrderLimitsAndTimeouts) {
  const std::map<ItemId, Text> addresses = {
      {1, u"http://limited.example/a"}, {2, u"http://limited.example/b"},
      {3, u"http://free.example/c"},    {5, u"http://limited.example/e"}};
  auto addressOf = [&addresses](ItemId id) -> std::optional<Text> {
    auto found = addresses.find(id);
    if (found == addresses.end()) return std::nullopt;
    return found->second;
  };
  CCheckQueue queue;
  for (ItemId id : {1, 2, 4, 3, 5, 1}) queue.Push({id, id == 3, false});
  EXPECT_EQ(queue.Size(), 5u) << "an item waits once";

  const std::vector<Text> limits = {u"limited.example"};
  std::vector<Text> running;
  auto next = queue.TakeNext(addressOf, running, limits);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->item, 1u);
  running.push_back(addresses.at(1));
  // 2 waits behind the running check of the same host, 4 is gone, 3 passes.
  next = queue.TakeNext(addressOf, running, limits);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->item, 3u);
  EXPECT_TRUE(next->force);
  EXPECT_FALSE(queue.TakeNext(addressOf, running, limits));
  EXPECT_EQ(queue.Size(), 2u);
  running.clear();
  EXPECT_EQ(queue.TakeNext(addressOf, running, limits)->item, 2u);
  EXPECT_EQ(queue.TakeNext(addressOf, running, {})->item, 5u);
  EXPECT_TRUE(queue.Empty());

  EXPECT_EQ(FirstTimedOut({5000, 1000, 0}, 32000, 30000), std::optional<std::size_t>(1));
  EXPECT_EQ(FirstTimedOut({5000}, 35000, 30000), std::nullopt);
  EXPECT_EQ(FirstTimedOut({0xFFFFF000u}, 1000, 30000), std::nullopt) << "across the tick wrap";
}

TEST(CheckSchedule, MergeResultKeepsTheCounters) {
  CFolderItem folder;
  auto* site = static_cast<CRssSiteItem*>(InsertChildAfter(folder, std::make_unique<CRssSiteItem>(), nullptr));
  site->title = u"own title";
  auto feed = [](TextView title) {
    auto articles = std::make_unique<CRssItemArray>(u"src", u"Feed title", u"http://home/", u"");
    auto article = std::make_unique<CRssItem>();
    article->title = title;
    articles->Append(std::move(article));
    return articles;
  };
  MergeOptions options{5, false, 1700000000};
  MergeOutcome outcome = MergeResult(*site, feed(u"a"), u"Mon, 01 Jan 2024 00:00:00 GMT", u"\"v1\"", options);
  EXPECT_TRUE(outcome.updated);
  EXPECT_FALSE(outcome.titleChanged);
  EXPECT_EQ(site->title, u"own title");
  EXPECT_EQ(site->link, u"http://home/");
  EXPECT_EQ(site->lastModified, u"Mon, 01 Jan 2024 00:00:00 GMT");
  EXPECT_EQ(site->etag, u"\"v1\"");
  EXPECT_EQ(site->checkCount, 1u);
  EXPECT_EQ(site->updateCount, 1u);
  EXPECT_EQ(site->updateTime, 1700000000);
  EXPECT_EQ(site->newFlag, 1);
  EXPECT_EQ(folder.newFlag, 1);

  site->errorCode = 404;
  options.updateTitle = true;
  options.now = 1800000000;
  outcome = MergeResult(*site, feed(u"a"), u"", u"", options);
  EXPECT_FALSE(outcome.updated);
  EXPECT_TRUE(outcome.titleChanged);
  EXPECT_EQ(site->title, u"Feed title");
  EXPECT_EQ(site->checkCount, 2u);
  EXPECT_EQ(site->updateCount, 1u);
  EXPECT_EQ(site->updateTime, 1700000000);
  EXPECT_EQ(site->errorCode, 0);
}
