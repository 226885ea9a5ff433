// The block by which a text crosses from one process to another: a 32-bit little-endian byte
// count n (terminating NUL included) followed by the n bytes of ANSI text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr size_t kSharedTextHeaderBytes = 4;

// The whole block for `text` (which must not contain NUL).
std::string EncodeSharedTextBlock(std::string_view text);
// The whole block for bytes that carry their own terminators (a list of NUL-terminated strings).
std::string EncodeSharedBytesBlock(std::string_view bytes);

// The text of a block of `size` readable bytes, without its NUL; nullopt when the count does not
// fit in the block or the text is not terminated where the count says.
std::optional<std::string> DecodeSharedTextBlock(const void* block, size_t size);
// All n bytes of a block, terminators included, under the same checks.
std::optional<std::string> DecodeSharedBytesBlock(const void* block, size_t size);
