// Splitting text into fields: the command line, the sanitizer whitelist and list settings.
#pragma once

#include <vector>

#include "util/text.h"

// Splits at each delimiter outside double quotes. A field that begins with a double quote stays
// quoted up to the next single double quote (a doubled one is kept as it is and does not end
// it); a field both beginning and ending with a double quote loses those two. Fields left empty
// are dropped, so "" alone yields nothing, unless they are asked to be kept.
enum class EmptyFields { kDrop, kKeep };
std::vector<Text> SplitQuoted(TextView text, char16_t delimiter, EmptyFields empty = EmptyFields::kDrop);

// Splits at every delimiter and keeps empty fields: "" gives one empty field, "/a" gives "", "a".
std::vector<Text> SplitPlain(TextView text, char16_t delimiter);
