#include "ui/item_id_table.h"

ItemId ItemIdTable::FreeId(NodeHandle node) {
  auto used = [this](ItemId id) { return entries_.count(id) != 0 || retired_.count(id) != 0; };
  if (node != 0 && node <= UINT32_MAX && !used(static_cast<ItemId>(node))) return static_cast<ItemId>(node);
  while (nextSpareId_ == 0 || used(nextSpareId_)) ++nextSpareId_;
  return nextSpareId_++;
}

ItemId ItemIdTable::Add(NodeHandle node, CItemBase* item) {
  if (node == 0) return 0;
  if (auto known = idsByNode_.find(node); known != idsByNode_.end()) {
    Entry& entry = entries_[known->second];
    ForgetItem(entry.item, known->second);
    entry.item = item;
    if (item) idsByItem_[item] = known->second;
    return known->second;
  }
  const ItemId id = FreeId(node);
  entries_.emplace(id, Entry{node, item});
  idsByNode_.emplace(node, id);
  if (item) idsByItem_[item] = id;
  return id;
}

// An item has one node at a time; a newer node of the same item keeps its own entry.
void ItemIdTable::ForgetItem(const CItemBase* item, ItemId id) {
  if (auto found = idsByItem_.find(item); found != idsByItem_.end() && found->second == id)
    idsByItem_.erase(found);
}

void ItemIdTable::Remove(ItemId id) {
  auto found = entries_.find(id);
  if (found == entries_.end()) return;
  idsByNode_.erase(found->second.node);
  ForgetItem(found->second.item, id);
  retired_.insert(id);
  entries_.erase(found);
}

void ItemIdTable::Clear() {
  for (const auto& entry : entries_) retired_.insert(entry.first);
  entries_.clear();
  idsByNode_.clear();
  idsByItem_.clear();
}

ItemId ItemIdTable::IdOfItem(const CItemBase* item) const {
  auto found = idsByItem_.find(item);
  return found == idsByItem_.end() ? 0 : found->second;
}

int ItemIdTable::ImageOf(ItemId id) const {
  auto found = entries_.find(id);
  return found == entries_.end() ? -1 : found->second.image;
}

void ItemIdTable::SetImage(ItemId id, int image) {
  if (auto found = entries_.find(id); found != entries_.end()) found->second.image = image;
}

int ItemIdTable::BoldOf(ItemId id) const {
  auto found = entries_.find(id);
  return found == entries_.end() ? -1 : found->second.bold;
}

void ItemIdTable::SetBold(ItemId id, bool bold) {
  if (auto found = entries_.find(id); found != entries_.end()) found->second.bold = bold ? 1 : 0;
}

ItemId ItemIdTable::IdOfNode(NodeHandle node) const {
  auto found = idsByNode_.find(node);
  return found == idsByNode_.end() ? 0 : found->second;
}

ItemIdTable::NodeHandle ItemIdTable::NodeOf(ItemId id) const {
  auto found = entries_.find(id);
  return found == entries_.end() ? 0 : found->second.node;
}

CItemBase* ItemIdTable::ItemOf(ItemId id) const {
  auto found = entries_.find(id);
  return found == entries_.end() ? nullptr : found->second.item;
}
