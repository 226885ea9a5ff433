// Feeds arbitrary text to the date parsers. Every result must be "no date" or a value inside the
// date type's range that splits back into fields and formats in the display pattern.
#include <cmath>

#include "tests/fuzz/fuzz_text.h"
#include "util/date_time.h"
#include "util/feed_date.h"

namespace {

void CheckDate(double date) {
  FuzzCheck(date == 0 || (std::isfinite(date) && DateTimeToFields(date)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text text = FuzzText(data, size);
  const double rfc822 = ParseRfc822Date(text);
  const double w3c = ParseW3cDate(text);
  CheckDate(rfc822);
  CheckDate(w3c);
  FuzzCheck(ParseFeedDate(text) == (w3c != 0 ? w3c : rfc822));

  const Text shown = FormatFeedDate(text);
  if (w3c == 0 && rfc822 == 0) {
    FuzzCheck(shown == text);
  } else {
    // "%d/%d/%d %02d:%02d" with a year of 3 or 4 digits: 13 to 16 characters.
    FuzzCheck(shown.size() >= 13 && shown.size() <= 16 && shown[shown.size() - 3] == u':');
  }
  return 0;
}
