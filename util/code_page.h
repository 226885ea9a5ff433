// Conversions between the program's UTF-16 text and byte strings: UTF-8, the system ANSI code
// page (Shift-JIS, code page 932, on the machines this program targets), EUC-JP and the other
// Windows code pages documents arrive in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/text.h"

// Always succeeds: a lone surrogate becomes U+FFFD, so the result is well-formed UTF-8.
std::string ToUtf8(TextView text);

// Always succeeds: each ill-formed sequence (its longest valid-looking start, as Unicode
// recommends) becomes one U+FFFD. A byte-order mark is kept as U+FEFF.
Text FromUtf8(std::string_view bytes);

// What a byte string is as UTF-8, found in one pass: pure ASCII, well-formed with at least one
// multi-byte character, or ill-formed (the rules of FromUtf8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no cut sequence).
enum class Utf8Form { kAscii, kMultiByte, kIllFormed };
Utf8Form ClassifyUtf8(std::string_view bytes);

// The system ANSI code page; the platform part lives in code_page_win.cpp (the real code page)
// and code_page_posix.cpp (iconv with CP932, standing in for a Japanese Windows).
// nullopt when a character has no exact equivalent in the code page — look-alike "best fit"
// substitutes are refused too, as U+00A5 YEN SIGN must never turn into a backslash in a path.
std::optional<std::string> ToSystemCodePage(TextView text);
// nullopt when the bytes are not valid in the code page (for example a lead byte at the end).
std::optional<Text> FromSystemCodePage(std::string_view bytes);
// Code page 932 whatever the system's is, with the same refusal of look-alikes; for files that
// declare Shift-JIS.
std::optional<std::string> ToShiftJis(TextView text);

// Windows code page numbers the program names when it decodes documents.
constexpr unsigned kCodePageShiftJis = 932;  // Windows' superset: ①, Ⅲ, ㈱ included
constexpr unsigned kCodePageEucJp = 20932;
constexpr unsigned kCodePageWindows1252 = 1252;
constexpr unsigned kCodePageUtf8 = 65001;

// Bytes in a Windows code page (932, 20932, 1252, 28591-28605, 936, 949, 950, 1250-1258, 20866,
// ...) to text, the same way on every platform. nullopt when the bytes are not valid in the code
// page or the code page is not available.
std::optional<Text> FromCodePage(std::string_view bytes, unsigned codePage);

// Code page 1252 as Windows reads it; never fails: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same value.
Text FromWindows1252(std::string_view bytes);

// Converts to UTF-8 (utf8 true) or the system code page into `buffer` of `size` bytes. A result
// longer than size - 1 bytes is cut at the last whole character that fits; the buffer is always
// terminated. Returns the number of bytes written including the terminating zero (so 0 never
// means an empty text); with size 0 the buffer is not touched and the size it needs is returned.
// Returns 0 when the text cannot be converted (the buffer then holds the empty string) or the
// arguments are unusable, and -1 when no temporary memory is available.
int ToMultiByte(TextView text, char* buffer, int size, bool utf8);

// Shift-JIS (code page 932) to EUC-JP by JIS row/cell arithmetic. The empty string means the
// text cannot be expressed: it holds half-width katakana, a byte outside ASCII and the double-byte
// rows 0x81-0x9F and 0xE0-0xEF, an invalid trail byte, or a lead byte cut off at the end.
std::string ShiftJisToEucJp(std::string_view shiftJis);
