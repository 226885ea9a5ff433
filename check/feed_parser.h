// Feed documents (RSS 1.0, RSS 2.0, Atom) to ordered article lists. The article reader also
// reads the articles the data file stores, which are written in RSS item form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/rss_item.h"
#include "util/text.h"
#include "util/xml_element.h"

enum class FeedFormat { kNone, kRss10, kRss20, kAtom };

FeedFormat DetectFeedFormat(const XmlElement& root);

CRssItem ReadRssItem(const XmlElement& item);
CRssItem ReadAtomEntry(const XmlElement& entry);

// How many articles a list keeps, and which ones.
enum class ReadLimit {
  kNewestDated,  // every item is read; the N newest dated ones remain (RSS, stored articles)
  kFirstItems,   // only the first N items are read at all (Atom)
};

// Orders articles newest first while every one so far has a date; the first without a date
// ends the sorted part, and the rest follow in document order.
void CollectArticles(CRssItemArray& into, const std::vector<const XmlElement*>& items,
                     CRssItem (*read)(const XmlElement&), std::size_t limit, ReadLimit rule);

// Null when the root is none of the three feed forms.
std::unique_ptr<CRssItemArray> ParseFeed(const XmlElement& root, TextView url, std::size_t loadItem);

// A downloaded document's outcome: its articles, or the error code the check ends with
// (not well-formed: 40000; well-formed but no feed: 50000).
struct FeedReadResult {
  std::unique_ptr<CRssItemArray> articles;
  int32_t errorCode = 0;
};

// `root` is the loaded document's root element, nullopt when the document did not load.
FeedReadResult ReadFeedDocument(const std::optional<XmlElement>& root, TextView url,
                                std::size_t loadItem);
