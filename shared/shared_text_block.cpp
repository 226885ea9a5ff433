#include "shared/shared_text_block.h"

#include <cstdint>
#include <cstring>

std::string EncodeSharedTextBlock(std::string_view text) {
  const uint32_t count = static_cast<uint32_t>(text.size() + 1);
  std::string block(kSharedTextHeaderBytes, '\0');
  for (size_t i = 0; i < kSharedTextHeaderBytes; ++i) block[i] = char((count >> (8 * i)) & 0xFF);
  block.append(text);
  block.push_back('\0');
  return block;
}

std::optional<std::string> DecodeSharedTextBlock(const void* block, size_t size) {
  if (!block || size < kSharedTextHeaderBytes) return std::nullopt;
  const auto* bytes = static_cast<const unsigned char*>(block);
  uint32_t count = 0;
  for (size_t i = 0; i < kSharedTextHeaderBytes; ++i) count |= uint32_t(bytes[i]) << (8 * i);
  // The count comes from another process: never trust it beyond the mapped size.
  if (count == 0 || count > size - kSharedTextHeaderBytes) return std::nullopt;
  const char* text = reinterpret_cast<const char*>(bytes + kSharedTextHeaderBytes);
  if (text[count - 1] != '\0') return std::nullopt;
  return std::string(text, strnlen(text, count - 1));
}
