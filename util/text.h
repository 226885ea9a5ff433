// Small helpers over UTF-16 text shared by the whole program. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text literals: u"..." is the program's text type; these aliases keep signatures short.
using Text = std::u16string;
using TextView = std::u16string_view;

bool IsAsciiSpace(char16_t c);
bool IsAsciiDigit(char16_t c);
bool IsAsciiHexDigit(char16_t c);
bool IsAsciiLetter(char16_t c);
int HexDigitValue(char16_t c);  // -1 when c is no hexadecimal digit

char16_t ToLowerAscii(char16_t c);
Text ToLowerAscii(TextView text);
bool EqualsIgnoreCaseAscii(TextView a, TextView b);
bool StartsWith(TextView text, TextView prefix);
bool EndsWith(TextView text, TextView suffix);

// Trims space, tab, CR and LF at both ends.
TextView Trim(TextView text);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right, without rescanning.
void ReplaceAll(Text& text, TextView from, TextView to);

// The leading-decimal-number rule of the settings files and the platform's own profile reader:
// optional white space, an optional sign, then digits; anything else gives 0. Overflow wraps as
// 32-bit arithmetic does, so a huge value does not become a valid small one by accident.
int32_t LeadingDecimal(TextView text);
// The same rule in 64 bits.
int64_t LeadingDecimal64(TextView text);

// ASCII-only conversions for literals and numbers; bytes >= 0x80 are widened as they are.
Text AsciiToText(std::string_view ascii);
std::string TextToAscii(TextView text);  // code units above 0x7F become '?'
Text DecimalText(int64_t value);
Text UnsignedDecimalText(uint32_t value);
