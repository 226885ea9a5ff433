// The program's UTF-16 text at the Win32 boundary: the same code units as wchar_t.
#pragma once

#include <windows.h>

#include "util/text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* W(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline Text FromWide(const wchar_t* text) {
  return text ? Text(reinterpret_cast<const char16_t*>(text)) : Text();
}
inline Text FromWide(const wchar_t* text, size_t length) {
  return Text(reinterpret_cast<const char16_t*>(text), length);
}
