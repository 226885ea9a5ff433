#include "util/split.h"

namespace {

constexpr char16_t kQuote = u'"';

// Index just past a quoted run that starts at `open`, or the end of the text when it never
// closes.
size_t SkipQuotedRun(TextView text, size_t open) {
  for (size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] != kQuote) continue;
    if (i + 1 < text.size() && text[i + 1] == kQuote) {
      ++i;  // a doubled quote stays inside the run
      continue;
    }
    return i + 1;
  }
  return text.size();
}

void AddQuotedField(std::vector<Text>& fields, TextView field, EmptyFields empty) {
  if (field.size() >= 2 && field.front() == kQuote && field.back() == kQuote)
    field = field.substr(1, field.size() - 2);
  if (!field.empty() || empty == EmptyFields::kKeep) fields.emplace_back(field);
}

}  // namespace

std::vector<Text> SplitQuoted(TextView text, char16_t delimiter, EmptyFields empty) {
  std::vector<Text> fields;
  size_t start = 0;
  while (start <= text.size()) {
    size_t scan = start;
    if (scan < text.size() && text[scan] == kQuote && delimiter != kQuote)
      scan = SkipQuotedRun(text, scan);
    size_t end = text.find(delimiter, scan);
    if (end == TextView::npos) end = text.size();
    AddQuotedField(fields, text.substr(start, end - start), empty);
    start = end + 1;
  }
  return fields;
}

std::vector<Text> SplitPlain(TextView text, char16_t delimiter) {
  std::vector<Text> fields;
  size_t start = 0;
  for (size_t end; (end = text.find(delimiter, start)) != TextView::npos; start = end + 1)
    fields.emplace_back(text.substr(start, end - start));
  fields.emplace_back(text.substr(start));
  return fields;
}
