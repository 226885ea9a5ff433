#include "shared/shared_text_block_win.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SharedTextBlockMapping, TextCrossesThroughADuplicatedHandle) {
  HWND window = ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const std::string text = "http://example.com/\x93\xFA\x96\x7B\x8C\xEA";
  unique_handle block = CreateSharedTextBlock(text);
  ASSERT_TRUE(block);
  HANDLE duplicate = DuplicateSharedTextBlockTo(window, block.get());
  ASSERT_NE(duplicate, nullptr);
  block.reset();  // the sender closes its own handle; the receiver's copy keeps the block alive
  EXPECT_EQ(TakeSharedTextBlock(duplicate), text);
  ::DestroyWindow(window);
}

TEST(SharedTextBlockMapping, ForgedCountIsRefused) {
  unique_handle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr));
  ASSERT_TRUE(mapping);
  {
    unique_mapped_view view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 16));
    const uint32_t hugeCount = 0x7FFFFFFF;
    std::memcpy(view.get(), &hugeCount, sizeof hugeCount);
  }
  EXPECT_FALSE(TakeSharedTextBlock(mapping.release()));
  EXPECT_FALSE(TakeSharedTextBlock(nullptr));
}
