#include "store/profile.h"

namespace {

// Longest text an integer is read from; longer values wrap anyway.
constexpr size_t kIntegerChars = 31;

// Blanks as the private-profile reader trims them (Ctrl-Z counts: old files end with it).
bool IsProfileBlank(char16_t c) { return (c >= u'\t' && c <= u'\r') || c == u' ' || c == 0x1A; }

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

}  // namespace

Text IProfile::ReadString(TextView section, TextView key, TextView defaultValue,
                          size_t maxChars) const {
  std::optional<Text> value = Lookup(section, key, maxChars);
  if (!value) return Text(defaultValue.substr(0, maxChars));
  if (value->size() > maxChars) value->resize(maxChars);
  return *std::move(value);
}

// An empty value counts as missing, as with the platform's own integer reader, so that a key
// left blank by hand keeps its default instead of becoming 0.
int32_t IProfile::ReadInt(TextView section, TextView key, int32_t defaultValue) const {
  std::optional<Text> value = Lookup(section, key, kIntegerChars);
  if (!value || Trim(*value).empty()) return defaultValue;
  return LeadingDecimal(TextView(*value).substr(0, kIntegerChars));
}

Text EncodeProfileValue(TextView value) {
  Text line(value);
  for (char16_t& c : line)
    if (c == u'\r' || c == u'\n') c = u' ';
  if (line.empty()) return line;
  bool needsQuotes = IsProfileBlank(line.front()) || IsProfileBlank(line.back()) ||
                     (line.size() >= 2 && IsQuote(line.front()) && line.back() == line.front());
  return needsQuotes ? u'"' + line + u'"' : line;
}
