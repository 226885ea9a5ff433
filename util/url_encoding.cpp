#include "util/url_encoding.h"

#include "util/code_page.h"

namespace {

bool IsFormSafe(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '*' ||
         c == '-' || c == '.' || c == '@' || c == '_';
}

}  // namespace

Text PercentDecode(TextView text) {
  const auto bytes = ToSystemCodePage(text);
  if (!bytes) return Text(text);
  // A byte scan is safe for Shift-JIS: trail bytes start at 0x40, so a "%" is always a character
  // of its own, and so are the ASCII digits after it.
  std::string decoded;
  decoded.reserve(bytes->size());
  for (size_t i = 0; i < bytes->size(); ++i) {
    if ((*bytes)[i] == '%' && i + 2 < bytes->size()) {
      const int high = HexDigitValue(static_cast<unsigned char>((*bytes)[i + 1]));
      const int low = HexDigitValue(static_cast<unsigned char>((*bytes)[i + 2]));
      // "%00" stays as it is: a NUL would cut the text short where it meets the platform.
      if (high >= 0 && low >= 0 && high * 16 + low != 0) {
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    decoded.push_back((*bytes)[i]);
  }
  auto result = FromSystemCodePage(decoded);
  return result ? std::move(*result) : Text(text);
}

std::string FormEncode(std::string_view bytes) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsFormSafe(c)) {
      encoded.push_back(byte);
    } else if (c == ' ') {
      encoded.push_back('+');
    } else {
      encoded.push_back('%');
      encoded.push_back(kHexDigits[c >> 4]);
      encoded.push_back(kHexDigits[c & 0x0F]);
    }
  }
  return encoded;
}
