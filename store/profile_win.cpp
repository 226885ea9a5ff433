#include <windows.h>

#include <vector>

#include "store/profile_file.h"
#include "util/wide_win.h"

namespace {

// Two defaults that differ: a stored value can equal at most one of them, so a key counts as
// missing only when the reader hands back each default in turn.
constexpr char16_t kAbsentMarkA[] = u"\x01";
constexpr char16_t kAbsentMarkB[] = u"\x02";

// The reader copies at most size - 1 characters and always terminates, so a buffer one longer
// than the limit gives exactly the first maxChars characters of a longer value.
Text ReadProfileText(const Text& file, const Text& section, const Text& key,
                     const char16_t* fallback, size_t maxChars) {
  std::vector<wchar_t> buffer(maxChars + 1);
  DWORD length = ::GetPrivateProfileStringW(W(section), W(key), W(fallback), buffer.data(),
                                            static_cast<DWORD>(buffer.size()), W(file));
  return FromWide(buffer.data(), length);
}

}  // namespace

std::optional<Text> CIniFile::Lookup(TextView section, TextView key, size_t maxChars) const {
  const Text sectionText(section), keyText(key);
  Text value = ReadProfileText(path_, sectionText, keyText, kAbsentMarkA, maxChars);
  if (value != kAbsentMarkA) return value;
  value = ReadProfileText(path_, sectionText, keyText, kAbsentMarkB, maxChars);
  if (value == kAbsentMarkB) return std::nullopt;
  return value;
}

bool CIniFile::WriteString(TextView section, TextView key, TextView value) {
  return ::WritePrivateProfileStringW(W(Text(section)), W(Text(key)), W(EncodeProfileValue(value)),
                                      W(path_)) != FALSE;
}
