// The feeds the band found on the pages the browser showed: what the feed menu lists and what
// decides the feed button's picture. Portable: the toolbar only shows it.
#pragma once

#include <map>
#include <vector>

#include "util/text.h"

struct FoundFeed {
  Text title;
  Text url;
};

// At most this many recent feeds are kept, and listed in the feed menu.
inline constexpr size_t kMaxRecentFeeds = 11;

class CFoundFeeds {
 public:
  void Add(const Text& pageUrl, const Text& title, const Text& feedUrl);
  void Clear();
  void ForgetPage(const Text& pageUrl);

  // Whether a page on screen offers a feed.
  bool PageHasFeed() const { return !pageFeeds_.empty(); }
  // Oldest first.
  const std::vector<FoundFeed>& Recent() const { return recent_; }

 private:
  std::vector<FoundFeed> recent_;
  std::map<Text, FoundFeed> pageFeeds_;
};

// One entry of the feed menu: the text the menu shows, and the feed it hands over.
struct FeedMenuEntry {
  Text label;
  FoundFeed feed;
};

// Newest first; a feed without a title is listed by its address.
std::vector<FeedMenuEntry> FeedMenuEntries(const CFoundFeeds& feeds);

// Menu text shows a single "&" as an access-key mark; doubling keeps it visible.
Text MenuText(TextView text);
