// One site's articles as read from its feed or from the data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "util/text.h"

// One article. Only new articles keep their body: one that is not new carries empty content,
// creator and enclosure, so the data file stores bodies for unread articles only.
struct CRssItem {
  Text title;
  Text link;
  Text dateText;   // the date exactly as the feed wrote it; formatted only for display
  Text content;    // HTML or plain text
  Text creator;
  Text enclosure;  // address of an attached file
  int32_t newFlag = 0;  // nonzero: new
  double date = 0;      // local date-time (days since 1899-12-30) parsed from dateText; 0 = none

  // Clears the new flag and drops the body that only new articles keep.
  void MarkNotNew();
};

// The ordered articles of one check, newest first where dates are known, with the feed-level
// header read from the channel. Owns its articles; hands out observer pointers.
class CRssItemArray {
 public:
  CRssItemArray(Text feedUrl, Text feedTitle, Text feedLink, Text feedDate);
  CRssItemArray(const CRssItemArray&) = delete;
  CRssItemArray& operator=(const CRssItemArray&) = delete;

  const Text& FeedUrl() const { return feedUrl_; }
  const Text& FeedTitle() const { return feedTitle_; }
  const Text& FeedLink() const { return feedLink_; }
  const Text& FeedDate() const { return feedDate_; }

  const std::vector<std::unique_ptr<CRssItem>>& Items() const { return items_; }
  std::size_t Size() const { return items_.size(); }

  // Inserts before position index (clamped to the end); returns the stored article, or null
  // when item is null.
  CRssItem* Insert(std::size_t index, std::unique_ptr<CRssItem> item);
  CRssItem* Append(std::unique_ptr<CRssItem> item);
  // Detaches the article at index and hands it to the caller; null when out of range.
  std::unique_ptr<CRssItem> Take(std::size_t index);

  // A deep copy: every site sharing a subscription receives its own array.
  std::unique_ptr<CRssItemArray> Clone() const;
  // The same header without articles.
  std::unique_ptr<CRssItemArray> CloneHeader() const;

 private:
  Text feedUrl_;
  Text feedTitle_;
  Text feedLink_;
  Text feedDate_;
  std::vector<std::unique_ptr<CRssItem>> items_;
};
