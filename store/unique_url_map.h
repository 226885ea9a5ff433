// Which tree nodes share one subscription, and when that subscription was last let through
// to a download, so that sites registered twice are fetched once per check window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "store/item_id.h"
#include "util/text.h"

struct CUniqueURLItem {
  std::vector<ItemId> nodes;  // every node registered under the key, in registration order
  uint32_t lastTick = 0;      // tick of the last let-through check; 0 = none yet
};

class CUniqueURLMap {
 public:
  // The shortest time between two downloads of one subscription.
  static constexpr uint32_t kRecheckMilliseconds = 900000;

  // Lists node under key (once). With a nonzero tick, also decides whether a check may start:
  // false when the subscription was let through less than kRecheckMilliseconds before tick.
  bool Register(TextView key, ItemId node, uint32_t tick);
  // The item itself stays, with its last tick, for the next registration.
  void Unregister(TextView key, ItemId node);
  void Clear();
  // Null when the key was never registered.
  const CUniqueURLItem* Find(TextView key) const;

 private:
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(TextView key) const { return std::hash<TextView>()(key); }
  };
  std::unordered_map<Text, CUniqueURLItem, KeyHash, std::equal_to<>> items_;
};
