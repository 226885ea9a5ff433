#include "band/found_feeds.h"

#include <algorithm>

void CFoundFeeds::Add(const Text& pageUrl, const Text& title, const Text& feedUrl) {
  if (pageUrl.empty()) return;
  pageFeeds_[pageUrl] = {title, feedUrl};
  auto same = std::find_if(recent_.begin(), recent_.end(),
                           [&](const FoundFeed& feed) { return feed.url == feedUrl; });
  if (same != recent_.end()) recent_.erase(same);
  recent_.push_back({title, feedUrl});
  if (recent_.size() > kMaxRecentFeeds)
    recent_.erase(recent_.begin(), recent_.end() - kMaxRecentFeeds);
}

void CFoundFeeds::Clear() {
  recent_.clear();
  pageFeeds_.clear();
}

void CFoundFeeds::ForgetPage(const Text& pageUrl) {
  if (!pageUrl.empty()) pageFeeds_.erase(pageUrl);
}

std::vector<FeedMenuEntry> FeedMenuEntries(const CFoundFeeds& feeds) {
  std::vector<FeedMenuEntry> entries;
  const std::vector<FoundFeed>& recent = feeds.Recent();
  for (auto it = recent.rbegin(); it != recent.rend() && entries.size() < kMaxRecentFeeds; ++it)
    entries.push_back({MenuText(it->title.empty() ? it->url : it->title), *it});
  return entries;
}

Text MenuText(TextView text) {
  Text result(text);
  ReplaceAll(result, u"&", u"&&");
  return result;
}
