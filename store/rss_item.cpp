#include "store/rss_item.h"

#include <algorithm>
#include <utility>

void CRssItem::MarkNotNew() {
  newFlag = 0;
  content.clear();
  creator.clear();
  enclosure.clear();
}

CRssItemArray::CRssItemArray(Text feedUrl, Text feedTitle, Text feedLink, Text feedDate)
    : feedUrl_(std::move(feedUrl)),
      feedTitle_(std::move(feedTitle)),
      feedLink_(std::move(feedLink)),
      feedDate_(std::move(feedDate)) {}

CRssItem* CRssItemArray::Insert(std::size_t index, std::unique_ptr<CRssItem> item) {
  if (!item) return nullptr;
  index = std::min(index, items_.size());
  return items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item))->get();
}

CRssItem* CRssItemArray::Append(std::unique_ptr<CRssItem> item) {
  return Insert(items_.size(), std::move(item));
}

std::unique_ptr<CRssItem> CRssItemArray::Take(std::size_t index) {
  if (index >= items_.size()) return nullptr;
  auto at = items_.begin() + static_cast<std::ptrdiff_t>(index);
  std::unique_ptr<CRssItem> item = std::move(*at);
  items_.erase(at);
  return item;
}

std::unique_ptr<CRssItemArray> CRssItemArray::CloneHeader() const {
  return std::make_unique<CRssItemArray>(feedUrl_, feedTitle_, feedLink_, feedDate_);
}

std::unique_ptr<CRssItemArray> CRssItemArray::Clone() const {
  auto copy = CloneHeader();
  copy->items_.reserve(items_.size());
  for (const auto& item : items_) copy->items_.push_back(std::make_unique<CRssItem>(*item));
  return copy;
}
