// Byte layout of protected passwords, apart from the cipher itself (password_protection_win.cpp):
// base64 text, the two blob forms told by their first 32-bit word, and the site-password bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "util/text.h"

// Standard alphabet, "=" padding, no line breaks (RFC 4648).
Text EncodeBase64(std::string_view bytes);
// Strict: nullopt unless the length is a multiple of four, every character is of the standard
// alphabet, "=" appears only as the last one or two characters and the bits it leaves unused
// are zero. The empty text decodes to no bytes.
std::optional<std::string> DecodeBase64(TextView text);

// The leading little-endian word: the length of the key blob, or 0 for the pass-phrase form.
inline constexpr std::size_t kBlobWordBytes = 4;

struct UserKeyBlobParts {
  std::string_view keyBlob;  // the message key, encrypted with the user key
  std::string_view cipher;
};

// nullopt when keyBlob is empty (0 marks the other form) or too long for the word.
std::optional<std::string> JoinUserKeyBlob(std::string_view keyBlob, std::string_view cipher);
// nullopt when the blob has no whole word, the word is 0, or the key blob runs past the end.
// The parts point into blob.
std::optional<UserKeyBlobParts> SplitUserKeyBlob(std::string_view blob);

std::string JoinPassPhraseBlob(std::string_view cipher);
// The cipher text after the word; nullopt when there is no whole word or it is not 0.
std::optional<std::string_view> SplitPassPhraseBlob(std::string_view blob);

// Site passwords are bound to the site: src bytes, one NUL, password bytes (both in the system
// code page). nullopt when src holds a NUL, as it could not be told apart on reading.
std::optional<std::string> JoinSitePlainBytes(std::string_view src, std::string_view password);
// The password when the bytes before the first NUL read as exactly src; nullopt when there is no
// NUL, the src differs, or either part is not valid in the system code page.
std::optional<Text> SitePasswordFromPlainBytes(std::string_view plain, TextView src);
