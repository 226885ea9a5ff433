#include "ui/item_id_table.h"

#include <gtest/gtest.h>

#include "store/item_tree.h"

TEST(ItemIdTable, SmallHandlesAreTheirOwnIds) {
  ItemIdTable table;
  CFolderItem folder;
  EXPECT_EQ(table.Add(0x1234, &folder), 0x1234u);
  EXPECT_EQ(table.ItemOf(0x1234), &folder);
  EXPECT_EQ(table.NodeOf(0x1234), 0x1234u);
  EXPECT_EQ(table.IdOfNode(0x1234), 0x1234u);
  EXPECT_EQ(table.Add(0x1234, &folder), 0x1234u) << "adding a node twice keeps its id";
  EXPECT_EQ(table.Size(), 1u);
}

TEST(ItemIdTable, WideHandlesGetDistinctThirtyTwoBitIds) {
  if (sizeof(ItemIdTable::NodeHandle) < 8) GTEST_SKIP() << "handles always fit here";
  ItemIdTable table;
  CRssSiteItem a, b;
  const auto wideA = static_cast<ItemIdTable::NodeHandle>(0x100000000ull + 0x10);
  const auto wideB = static_cast<ItemIdTable::NodeHandle>(0x200000000ull + 0x10);
  const ItemId idA = table.Add(wideA, &a);
  const ItemId idB = table.Add(wideB, &b);
  EXPECT_NE(idA, 0u);
  EXPECT_NE(idB, 0u);
  EXPECT_NE(idA, idB);
  EXPECT_EQ(table.ItemOf(idA), &a);
  EXPECT_EQ(table.NodeOf(idB), wideB);
  // A small handle equal to a spare id already handed out must not collide with it.
  CRssSiteItem c;
  const ItemId idC = table.Add(idA, &c);
  EXPECT_NE(idC, idA);
  EXPECT_EQ(table.ItemOf(idA), &a);
  EXPECT_EQ(table.ItemOf(idC), &c);
}

TEST(ItemIdTable, RemovedIdsAreUnknown) {
  ItemIdTable table;
  CFolderItem folder;
  table.Add(42, &folder);
  table.Remove(42);
  EXPECT_EQ(table.ItemOf(42), nullptr);
  EXPECT_EQ(table.IdOfNode(42), 0u);
  EXPECT_EQ(table.Add(0, &folder), 0u) << "no node, no id";
  // The control may hand out a deleted node's handle again: the old id still names nothing.
  CRssSiteItem other;
  const ItemId again = table.Add(42, &other);
  EXPECT_NE(again, 42u);
  EXPECT_EQ(table.ItemOf(42), nullptr);
  EXPECT_EQ(table.ItemOf(again), &other);
  EXPECT_EQ(table.IdOfNode(42), again);
  table.Add(7, &folder);
  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
  EXPECT_NE(table.Add(7, &other), 7u) << "cleared ids stay used up";
  EXPECT_EQ(table.ItemOf(7), nullptr);
}

TEST(ItemIdTable, ItemsFindTheirCurrentNodeAndPicture) {
  ItemIdTable table;
  CRssSiteItem site;
  EXPECT_EQ(table.IdOfItem(&site), 0u);
  const ItemId first = table.Add(10, &site);
  table.SetImage(first, 4);
  EXPECT_EQ(table.IdOfItem(&site), first);
  EXPECT_EQ(table.ImageOf(first), 4);
  // Moved: the new node is added before the old one's deletion notice arrives.
  const ItemId second = table.Add(11, &site);
  table.Remove(first);
  EXPECT_EQ(table.IdOfItem(&site), second) << "the old node's removal keeps the new one";
  EXPECT_EQ(table.ImageOf(second), -1) << "a new node's picture is not known yet";
  EXPECT_EQ(table.ImageOf(first), -1);
  // A node handed to another item no longer names the first one.
  CRssSiteItem other;
  EXPECT_EQ(table.Add(11, &other), second);
  EXPECT_EQ(table.IdOfItem(&site), 0u);
  EXPECT_EQ(table.IdOfItem(&other), second);
  table.Clear();
  EXPECT_EQ(table.IdOfItem(&other), 0u);
}
