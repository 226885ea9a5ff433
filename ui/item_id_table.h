// The one place where tree-control node handles and item ids meet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "store/item_id.h"

class CItemBase;

// Item ids are the node handles themselves wherever a handle fits in 32 bits (always on 32-bit
// Windows); a handle that does not fit, or whose id is taken or was used before, gets the next
// free id. An id is never given to a second node: pages, browser history and drag data keep
// ids after their node is deleted, and they must then name nothing rather than another item.
class ItemIdTable {
 public:
  using NodeHandle = std::uintptr_t;

  ItemId Add(NodeHandle node, CItemBase* item);
  // The id stays used up.
  void Remove(ItemId id);
  void Clear();

  ItemId IdOfNode(NodeHandle node) const;         // 0 when unknown
  ItemId IdOfItem(const CItemBase* item) const;   // 0 when the item has no node
  NodeHandle NodeOf(ItemId id) const;             // 0 when unknown
  CItemBase* ItemOf(ItemId id) const;             // null when unknown
  size_t Size() const { return entries_.size(); }

  // The picture and bold state the node was last given, so that refreshing a node never has to
  // ask the control, nor tell it what it already shows; -1 when unknown.
  int ImageOf(ItemId id) const;
  void SetImage(ItemId id, int image);
  int BoldOf(ItemId id) const;
  void SetBold(ItemId id, bool bold);

 private:
  struct Entry {
    NodeHandle node;
    CItemBase* item;
    int image = -1;
    int bold = -1;
  };
  ItemId FreeId(NodeHandle node);
  void ForgetItem(const CItemBase* item, ItemId id);

  std::unordered_map<ItemId, Entry> entries_;
  std::unordered_map<NodeHandle, ItemId> idsByNode_;
  std::unordered_map<const CItemBase*, ItemId> idsByItem_;
  std::unordered_set<ItemId> retired_;
  ItemId nextSpareId_ = 0x40000000;
};
