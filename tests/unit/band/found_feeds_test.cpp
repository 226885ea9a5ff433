#include "band/found_feeds.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<Text> Labels(const CFoundFeeds& feeds) {
  std::vector<Text> labels;
  for (const FeedMenuEntry& entry : FeedMenuEntries(feeds)) labels.push_back(entry.label);
  return labels;
}

Text Numbered(const char16_t* prefix, int n) { return prefix + DecimalText(n); }

}  // namespace

TEST(FoundFeeds, TheElevenNewestAreListedNewestFirstWithoutRepeats) {
  CFoundFeeds feeds;
  for (int n = 1; n <= 12; ++n) feeds.Add(Numbered(u"http://p/", n), Numbered(u"t", n), Numbered(u"http://f/", n));
  std::vector<Text> expected;
  for (int n = 12; n >= 2; --n) expected.push_back(Numbered(u"t", n));
  EXPECT_EQ(Labels(feeds), expected) << "the twelfth pushed out the oldest";

  // The same feed found again moves to the front with its newest title; nothing is repeated.
  feeds.Add(u"http://other/", u"again", u"http://f/5");
  std::vector<Text> labels = Labels(feeds);
  ASSERT_EQ(labels.size(), kMaxRecentFeeds);
  EXPECT_EQ(labels.front(), u"again");
  EXPECT_EQ(std::count(labels.begin(), labels.end(), u"t5"), 0);
  EXPECT_EQ(FeedMenuEntries(feeds).front().feed.url, u"http://f/5");
}

TEST(FoundFeeds, LabelsUseTheAddressWithoutTitleAndKeepAmpersands) {
  CFoundFeeds feeds;
  feeds.Add(u"http://p/1", u"", u"http://f/&1");
  feeds.Add(u"http://p/2", u"R&D", u"http://f/2");
  feeds.Add(u"", u"no page", u"http://f/3");
  EXPECT_EQ(Labels(feeds), (std::vector<Text>{u"R&&D", u"http://f/&&1"}));
  EXPECT_EQ(FeedMenuEntries(feeds).back().feed.url, u"http://f/&1") << "the address handed over is unchanged";
}

TEST(FoundFeeds, PagesLeavingAndTopLevelNavigation) {
  CFoundFeeds feeds;
  EXPECT_FALSE(feeds.PageHasFeed());
  feeds.Add(u"http://p/frame1", u"a", u"http://f/a");
  feeds.Add(u"http://p/frame2", u"b", u"http://f/b");
  feeds.Add(u"http://p/frame2", u"c", u"http://f/c");  // a page keeps only its last feed
  feeds.ForgetPage(u"http://p/frame2");
  EXPECT_TRUE(feeds.PageHasFeed());
  feeds.ForgetPage(u"");
  feeds.ForgetPage(u"http://p/frame1");
  EXPECT_FALSE(feeds.PageHasFeed());
  EXPECT_EQ(feeds.Recent().size(), 3u) << "a frame leaving keeps the menu";
  feeds.Add(u"http://p/frame1", u"a", u"http://f/a");
  feeds.Clear();
  EXPECT_FALSE(feeds.PageHasFeed());
  EXPECT_TRUE(FeedMenuEntries(feeds).empty());
}
