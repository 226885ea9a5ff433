#include "store/protected_blob.h"

#include <cstdint>

#include "util/code_page.h"

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

void AppendWord(std::string& out, uint32_t value) {
  for (std::size_t i = 0; i < kBlobWordBytes; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Callers have checked that the blob holds a whole word.
uint32_t ReadWord(std::string_view blob) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < kBlobWordBytes; ++i)
    value |= uint32_t(static_cast<unsigned char>(blob[i])) << (8 * i);
  return value;
}

}  // namespace

Text EncodeBase64(std::string_view bytes) {
  Text out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t group = uint32_t(static_cast<unsigned char>(bytes[i])) << 16 |
                           uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                           uint32_t(static_cast<unsigned char>(bytes[i + 2]));
    for (int shift = 18; shift >= 0; shift -= 6)
      out.push_back(char16_t(kBase64Alphabet[(group >> shift) & 63]));
  }
  const std::size_t left = bytes.size() - i;
  if (left > 0) {
    uint32_t group = uint32_t(static_cast<unsigned char>(bytes[i])) << 16;
    if (left == 2) group |= uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
    out.push_back(char16_t(kBase64Alphabet[(group >> 18) & 63]));
    out.push_back(char16_t(kBase64Alphabet[(group >> 12) & 63]));
    out.push_back(left == 2 ? char16_t(kBase64Alphabet[(group >> 6) & 63]) : u'=');
    out.push_back(u'=');
  }
  return out;
}

// Leftover bits of the last group must be zero too: no encoder sets them, so a text that has
// them was damaged on its way.
std::optional<std::string> DecodeBase64(TextView text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::size_t padding = 0;
  if (!text.empty() && text.back() == u'=') padding = text[text.size() - 2] == u'=' ? 2 : 1;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  uint32_t group = 0;
  const std::size_t dataChars = text.size() - padding;
  for (std::size_t i = 0; i < dataChars; ++i) {
    const int value = Base64Value(text[i]);
    if (value < 0) return std::nullopt;
    group = group << 6 | uint32_t(value);
    if (i % 4 == 3) {
      out.push_back(static_cast<char>(group >> 16));
      out.push_back(static_cast<char>(group >> 8));
      out.push_back(static_cast<char>(group));
      group = 0;
    }
  }
  if (padding == 2) {
    if (group & 0x0F) return std::nullopt;
    out.push_back(static_cast<char>(group >> 4));
  } else if (padding == 1) {
    if (group & 0x03) return std::nullopt;
    out.push_back(static_cast<char>(group >> 10));
    out.push_back(static_cast<char>(group >> 2));
  }
  return out;
}

std::optional<std::string> JoinUserKeyBlob(std::string_view keyBlob, std::string_view cipher) {
  if (keyBlob.empty() || keyBlob.size() > UINT32_MAX) return std::nullopt;
  std::string blob;
  blob.reserve(kBlobWordBytes + keyBlob.size() + cipher.size());
  AppendWord(blob, static_cast<uint32_t>(keyBlob.size()));
  blob.append(keyBlob);
  blob.append(cipher);
  return blob;
}

std::optional<UserKeyBlobParts> SplitUserKeyBlob(std::string_view blob) {
  if (blob.size() < kBlobWordBytes) return std::nullopt;
  const uint32_t keyBytes = ReadWord(blob);
  const std::string_view rest = blob.substr(kBlobWordBytes);
  if (keyBytes == 0 || keyBytes > rest.size()) return std::nullopt;
  return UserKeyBlobParts{rest.substr(0, keyBytes), rest.substr(keyBytes)};
}

std::string JoinPassPhraseBlob(std::string_view cipher) {
  std::string blob;
  blob.reserve(kBlobWordBytes + cipher.size());
  AppendWord(blob, 0);
  blob.append(cipher);
  return blob;
}

std::optional<std::string_view> SplitPassPhraseBlob(std::string_view blob) {
  if (blob.size() < kBlobWordBytes || ReadWord(blob) != 0) return std::nullopt;
  return blob.substr(kBlobWordBytes);
}

std::optional<std::string> JoinSitePlainBytes(std::string_view src, std::string_view password) {
  if (src.find('\0') != std::string_view::npos) return std::nullopt;
  std::string plain;
  plain.reserve(src.size() + 1 + password.size());
  plain.append(src);
  plain.push_back('\0');
  plain.append(password);
  return plain;
}

// The src is compared as text, not as bytes: the code page has characters with two byte forms
// (NEC and IBM extensions), and an earlier installation may have written either.
std::optional<Text> SitePasswordFromPlainBytes(std::string_view plain, TextView src) {
  const std::size_t nul = plain.find('\0');
  if (nul == std::string_view::npos) return std::nullopt;
  const std::optional<Text> storedSrc = FromSystemCodePage(plain.substr(0, nul));
  if (!storedSrc || *storedSrc != src) return std::nullopt;
  return FromSystemCodePage(plain.substr(nul + 1));
}
