// Sections of keyed text values, as the settings file and define.ini hold them. Portable: the
// platform's private-profile file is one implementation, an in-memory map serves the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "util/text.h"

// Most characters a value is read with; the protected pass phrase gets the longer limit.
inline constexpr size_t kProfileValueChars = 255;
inline constexpr size_t kProfileLongValueChars = 1023;

class IProfile {
 public:
  virtual ~IProfile() = default;

  // The stored value cut to `maxChars` characters; `defaultValue` when the key is missing. An
  // empty stored value is returned as empty.
  Text ReadString(TextView section, TextView key, TextView defaultValue,
                  size_t maxChars = kProfileValueChars) const;

  // The leading decimal number of the stored value; `defaultValue` when the key is missing or
  // its value is empty.
  int32_t ReadInt(TextView section, TextView key, int32_t defaultValue) const;

  [[nodiscard]] virtual bool WriteString(TextView section, TextView key, TextView value) = 0;

 protected:
  // The stored value (it may be longer than `maxChars`; the caller cuts it), nullopt when the
  // section or the key does not exist.
  virtual std::optional<Text> Lookup(TextView section, TextView key, size_t maxChars) const = 0;
};

// The text to store for `value` in a private-profile file so that reading gives `value` back:
// the reader trims blanks around a value and drops one pair of enclosing quotes, and a line
// break would end the entry.
Text EncodeProfileValue(TextView value);
