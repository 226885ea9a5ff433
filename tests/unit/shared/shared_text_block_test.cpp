#include "shared/shared_text_block.h"

#include <gtest/gtest.h>

TEST(SharedTextBlock, LayoutIsCountThenTerminatedText) {
  const std::string block = EncodeSharedTextBlock("/exit");
  ASSERT_EQ(block.size(), 4u + 6u);
  EXPECT_EQ(block.substr(0, 4), std::string("\x06\x00\x00\x00", 4));
  EXPECT_EQ(block.substr(4), std::string("/exit\0", 6));
  EXPECT_EQ(DecodeSharedTextBlock(block.data(), block.size()), "/exit");
}

TEST(SharedTextBlock, LongTextRoundTripsWhole) {
  const std::string text(4095, 'a');
  const std::string block = EncodeSharedTextBlock(text);
  EXPECT_EQ(block.size(), 4100u);
  EXPECT_EQ(DecodeSharedTextBlock(block.data(), block.size()), text);
}

TEST(SharedTextBlock, UntrustedCountsAreRefused) {
  std::string block = EncodeSharedTextBlock("abc");
  block[0] = 100;  // claims more than the block holds
  EXPECT_FALSE(DecodeSharedTextBlock(block.data(), block.size()));
  block[0] = 0;
  EXPECT_FALSE(DecodeSharedTextBlock(block.data(), block.size()));
  block = EncodeSharedTextBlock("abc");
  block.back() = 'x';  // not terminated where the count says
  EXPECT_FALSE(DecodeSharedTextBlock(block.data(), block.size()));
  EXPECT_FALSE(DecodeSharedTextBlock(block.data(), 3));
  EXPECT_FALSE(DecodeSharedTextBlock(nullptr, 10));
}

TEST(SharedTextBlock, TextEndsAtFirstNulInsideTheCount) {
  const std::string block("\x05\x00\x00\x00" "ab\0cd", 9);
  std::string terminated = block + '\0';
  terminated[0] = 6;
  EXPECT_EQ(DecodeSharedTextBlock(terminated.data(), terminated.size()), "ab");
}

TEST(SharedTextBlock, ByteBlocksKeepEveryTerminator) {
  const std::string list("a\0bc\0\0", 6);
  const std::string block = EncodeSharedBytesBlock(list);
  EXPECT_EQ(block.substr(0, 4), std::string("\x06\x00\x00\x00", 4));
  EXPECT_EQ(DecodeSharedBytesBlock(block.data(), block.size()), list);
  EXPECT_EQ(DecodeSharedTextBlock(block.data(), block.size()), "a");
  EXPECT_FALSE(DecodeSharedBytesBlock(block.data(), block.size() - 1));
}
