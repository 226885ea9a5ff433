#include "shared/shared_text_block.h"

#include <cstdint>
#include <cstring>

std::string EncodeSharedBytesBlock(std::string_view bytes) {
  const uint32_t count = static_cast<uint32_t>(bytes.size());
  std::string block(kSharedTextHeaderBytes, '\0');
  for (size_t i = 0; i < kSharedTextHeaderBytes; ++i) block[i] = char((count >> (8 * i)) & 0xFF);
  block.append(bytes);
  return block;
}

std::string EncodeSharedTextBlock(std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  return EncodeSharedBytesBlock(bytes);
}

std::optional<std::string> DecodeSharedBytesBlock(const void* block, size_t size) {
  if (!block || size < kSharedTextHeaderBytes) return std::nullopt;
  const auto* bytes = static_cast<const unsigned char*>(block);
  uint32_t count = 0;
  for (size_t i = 0; i < kSharedTextHeaderBytes; ++i) count |= uint32_t(bytes[i]) << (8 * i);
  // The count comes from another process: never trust it beyond the mapped size.
  if (count == 0 || count > size - kSharedTextHeaderBytes) return std::nullopt;
  const char* text = reinterpret_cast<const char*>(bytes + kSharedTextHeaderBytes);
  if (text[count - 1] != '\0') return std::nullopt;
  return std::string(text, count);
}

std::optional<std::string> DecodeSharedTextBlock(const void* block, size_t size) {
  auto bytes = DecodeSharedBytesBlock(block, size);
  if (!bytes) return std::nullopt;
  return bytes->substr(0, strnlen(bytes->data(), bytes->size() - 1));
}
