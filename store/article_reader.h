// Articles in RSS item form, as feeds carry them and as the data file stores them: both the
// feed parser and the data file read them here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "store/rss_item.h"
#include "util/text.h"
#include "util/xml_element.h"

// The first of the named children that is present gives the text.
Text FirstChildText(const XmlElement& element, std::initializer_list<TextView> names);
int32_t NewFlagOf(const XmlElement& item);

CRssItem ReadRssItem(const XmlElement& item);

// How many articles a list keeps, and which ones.
enum class ReadLimit {
  kNewestDated,  // every item is read; the N newest dated ones remain (RSS, stored articles)
  kFirstItems,   // only the first N items are read at all (Atom)
};

// Orders articles newest first while every one so far has a date; the first without a date
// ends the sorted part, and the rest follow in document order.
void CollectArticles(CRssItemArray& into, const std::vector<const XmlElement*>& items,
                     CRssItem (*read)(const XmlElement&), std::size_t limit, ReadLimit rule);
