#include "util/text.h"

bool IsAsciiSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiHexDigit(char16_t c) { return HexDigitValue(c) >= 0; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

char16_t ToLowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

Text ToLowerAscii(TextView text) {
  Text result(text);
  for (auto& c : result) c = ToLowerAscii(c);
  return result;
}

bool EqualsIgnoreCaseAscii(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  return true;
}

bool StartsWith(TextView text, TextView prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWith(TextView text, TextView suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

TextView Trim(TextView text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsAsciiSpace(text[begin])) ++begin;
  while (end > begin && IsAsciiSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void ReplaceAll(Text& text, TextView from, TextView to) {
  if (from.empty()) return;
  Text result;
  result.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != Text::npos; pos = hit + from.size()) {
    result.append(text, pos, hit - pos);
    result.append(to);
  }
  result.append(text, pos, Text::npos);
  text.swap(result);
}

namespace {

// Digits accumulate with unsigned wrap-around, so overflow never becomes undefined behaviour.
uint64_t LeadingDecimalBits(TextView text) {
  size_t i = 0;
  while (i < text.size() && (IsAsciiSpace(text[i]) || text[i] == u'\v' || text[i] == u'\f')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  uint64_t value = 0;
  for (; i < text.size() && IsAsciiDigit(text[i]); ++i) value = value * 10u + uint64_t(text[i] - u'0');
  return negative ? 0u - value : value;
}

}  // namespace

int32_t LeadingDecimal(TextView text) { return static_cast<int32_t>(uint32_t(LeadingDecimalBits(text))); }

int64_t LeadingDecimal64(TextView text) { return static_cast<int64_t>(LeadingDecimalBits(text)); }

Text AsciiToText(std::string_view ascii) {
  Text result;
  result.reserve(ascii.size());
  for (unsigned char c : ascii) result.push_back(c);
  return result;
}

std::string TextToAscii(TextView text) {
  std::string result;
  result.reserve(text.size());
  for (char16_t c : text) result.push_back(c < 0x80 ? char(c) : '?');
  return result;
}

Text DecimalText(int64_t value) { return AsciiToText(std::to_string(value)); }
Text UnsignedDecimalText(uint32_t value) { return AsciiToText(std::to_string(value)); }
