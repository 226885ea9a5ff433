// Percent-decoding of URL text and form encoding of byte strings.
#pragma once

#include <string>
#include <string_view>

#include "util/text.h"

// Decodes each "%" followed by two hexadecimal digits as one byte of the system code page;
// everything else, "+" included, stays as it is. A "%" without two hexadecimal digits after it
// is kept, and so is "%00" (a NUL would silently cut the text short at the platform boundary).
// A text that cannot be represented in the system code page, or whose decoded bytes are not
// valid there, is returned undecoded rather than with characters lost or replaced.
Text PercentDecode(TextView text);

// Keeps ASCII letters, digits and * - . @ _; a space becomes "+", every other byte "%XX" with
// upper-case hexadecimal digits. The caller chooses the byte encoding; the result is ASCII.
std::string FormEncode(std::string_view bytes);
