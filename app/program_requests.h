// The texts the main window hands to its partners (second copies and toolbar bands) in answer
// to the request message.
#pragma once

#include <cstdint>
#include <vector>

#include "store/item_id.h"
#include "util/text.h"

struct TopItemSummary {
  Text name;
  uint32_t fresh = 0;  // children with a new flag
  ItemId id = 0;
};

// For each item: its name, its count of children with news in decimal, its new-articles
// address and its stored-page address, each ended by NUL; then one more NUL, so that an empty
// tree gives a single NUL.
Text BuildTopItemList(const std::vector<TopItemSummary>& items, uint16_t port);
