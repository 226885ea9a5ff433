// Feeds arbitrary text to the date parsers. Every result must be "no date" or a value inside the
// date type's range that splits back into fields and formats in the display pattern.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "util/date_time.h"
#include "util/feed_date.h"

namespace {

// Bytes pair up into UTF-16 code units when the first byte is odd, so that both plain ASCII
// date texts and arbitrary code units get explored.
Text ToText(const uint8_t* data, size_t size) {
  Text text;
  if (size == 0) return text;
  const bool wide = data[0] & 1;
  ++data;
  --size;
  if (wide) {
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | data[i + 1] << 8));
  } else {
    for (size_t i = 0; i < size; ++i) text.push_back(data[i]);
  }
  return text;
}

void CheckDate(double date) {
  if (date == 0) return;
  if (!std::isfinite(date) || !DateTimeToFields(date)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text text = ToText(data, size);
  const double rfc822 = ParseRfc822Date(text);
  const double w3c = ParseW3cDate(text);
  CheckDate(rfc822);
  CheckDate(w3c);
  if (ParseFeedDate(text) != (w3c != 0 ? w3c : rfc822)) std::abort();

  const Text shown = FormatFeedDate(text);
  if (w3c == 0 && rfc822 == 0) {
    if (shown != text) std::abort();
  } else {
    // "%d/%d/%d %02d:%02d" with a year of 3 or 4 digits: 13 to 16 characters.
    if (shown.size() < 13 || shown.size() > 16 || shown[shown.size() - 3] != u':') std::abort();
  }
  return 0;
}
