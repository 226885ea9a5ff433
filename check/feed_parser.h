// Feed documents (RSS 1.0, RSS 2.0, Atom) to ordered article lists. RSS items are read by the
// article reader the data file uses too (store/article_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/article_reader.h"
#include "store/rss_item.h"
#include "util/text.h"
#include "util/xml_element.h"

enum class FeedFormat { kNone, kRss10, kRss20, kAtom };

FeedFormat DetectFeedFormat(const XmlElement& root);

CRssItem ReadAtomEntry(const XmlElement& entry);

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
