// A private-profile (INI) file on disk, read and written by the platform's profile functions.
// The file is kept in the system ANSI code page. Defined by Windows glue only.
#pragma once

#include <utility>

#include "store/profile.h"

class CIniFile : public IProfile {
 public:
  explicit CIniFile(Text path) : path_(std::move(path)) {}

  const Text& Path() const { return path_; }

  // False when the file cannot be written (for example, its directory does not exist).
  [[nodiscard]] bool WriteString(TextView section, TextView key, TextView value) override;

 protected:
  std::optional<Text> Lookup(TextView section, TextView key, size_t maxChars) const override;

 private:
  Text path_;
};
