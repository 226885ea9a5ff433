// An in-memory profile for tests. Section and key names match exactly (the real file ignores
// case), so that a misspelt key shows up; every write is also logged in order.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "store/profile.h"

class MemoryProfile : public IProfile {
 public:
  struct Write {
    Text section, key, value;
    bool operator==(const Write&) const = default;
  };

  void Set(TextView section, TextView key, TextView value) {
    values_[{Text(section), Text(key)}] = Text(value);
  }
  const Text* Find(TextView section, TextView key) const {
    auto it = values_.find({Text(section), Text(key)});
    return it == values_.end() ? nullptr : &it->second;
  }

  bool WriteString(TextView section, TextView key, TextView value) override {
    writes.push_back({Text(section), Text(key), Text(value)});
    if (failWrites) return false;
    Set(section, key, value);
    return true;
  }

  std::vector<Write> writes;
  bool failWrites = false;

 protected:
  std::optional<Text> Lookup(TextView section, TextView key, size_t) const override {
    const Text* value = Find(section, key);
    return value ? std::optional<Text>(*value) : std::nullopt;
  }

 private:
  std::map<std::pair<Text, Text>, Text> values_;
};
