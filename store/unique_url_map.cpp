#include "store/unique_url_map.h"

#include <algorithm>

// The window is measured as elapsed ticks in unsigned arithmetic. Comparing the tick with
// last + window instead would overflow in the last 15 minutes before the 49.7-day wrap of the
// tick counter and let every check through, and would hold a subscription back right after
// the wrap however long ago it was fetched.
bool CUniqueURLMap::Register(TextView key, ItemId node, uint32_t tick) {
  auto found = items_.find(key);
  if (found == items_.end()) found = items_.emplace(Text(key), CUniqueURLItem()).first;
  CUniqueURLItem& item = found->second;
  if (std::find(item.nodes.begin(), item.nodes.end(), node) == item.nodes.end())
    item.nodes.push_back(node);
  if (tick == 0) return true;
  if (item.lastTick != 0 && tick - item.lastTick < kRecheckMilliseconds) return false;
  item.lastTick = tick;
  return true;
}

void CUniqueURLMap::Unregister(TextView key, ItemId node) {
  auto found = items_.find(key);
  if (found == items_.end()) return;
  auto& nodes = found->second.nodes;
  nodes.erase(std::remove(nodes.begin(), nodes.end(), node), nodes.end());
}

void CUniqueURLMap::Clear() { items_.clear(); }

const CUniqueURLItem* CUniqueURLMap::Find(TextView key) const {
  auto found = items_.find(key);
  return found == items_.end() ? nullptr : &found->second;
}
