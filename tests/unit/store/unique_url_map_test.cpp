#include "store/unique_url_map.h"

#include <gtest/gtest.h>

TEST(UniqueURLMap, LetsOneCheckThroughPerFifteenMinutes) {
  CUniqueURLMap map;
  EXPECT_TRUE(map.Register(u"k", 10, 1000000));
  EXPECT_FALSE(map.Register(u"k", 20, 1899999));
  EXPECT_EQ(map.Find(u"k")->lastTick, 1000000u);
  EXPECT_TRUE(map.Register(u"k", 20, 1900000));
  EXPECT_EQ(map.Find(u"k")->lastTick, 1900000u);
  EXPECT_TRUE(map.Register(u"other", 10, 1900001));  // keys are independent
}

TEST(UniqueURLMap, MeasuresTheWindowAcrossTheTickWrap) {
  CUniqueURLMap map;
  const uint32_t last = 0xFFFFFFFFu - 100000;
  ASSERT_TRUE(map.Register(u"k", 1, last));
  EXPECT_FALSE(map.Register(u"k", 1, last + 1000));    // before the wrap
  EXPECT_FALSE(map.Register(u"k", 1, last + 899999));  // wrapped to a small tick
  EXPECT_TRUE(map.Register(u"k", 1, last + 900000));

  CUniqueURLMap later;
  ASSERT_TRUE(later.Register(u"k", 1, 3000000000u));
  EXPECT_TRUE(later.Register(u"k", 1, 500000));  // a small tick after the wrap is much later
}

TEST(UniqueURLMap, TracksTheNodesOfASubscription) {
  CUniqueURLMap map;
  EXPECT_EQ(map.Find(u"k"), nullptr);
  EXPECT_TRUE(map.Register(u"k", 7, 0));  // listing only: no tick recorded
  EXPECT_TRUE(map.Register(u"k", 8, 5000));
  EXPECT_FALSE(map.Register(u"k", 7, 6000));
  EXPECT_EQ(map.Find(u"k")->nodes, (std::vector<ItemId>{7, 8}));

  map.Unregister(u"k", 7);
  map.Unregister(u"missing", 7);
  const CUniqueURLItem* item = map.Find(u"k");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->nodes, (std::vector<ItemId>{8}));
  EXPECT_EQ(item->lastTick, 5000u);

  map.Clear();
  EXPECT_EQ(map.Find(u"k"), nullptr);
}
