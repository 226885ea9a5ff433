// Helpers shared by the tests that run against the real platform.
#pragma once

#include <windows.h>

#include <string>

#include "util/text.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

// A fresh directory under the system's temporary directory, removed with its files.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(TextView name) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    path_ = FromWide(temp) + Text(name) + u"_" + UnsignedDecimalText(::GetCurrentProcessId()) +
            u"_" + UnsignedDecimalText(++counter_) + u"\\";
    ::CreateDirectoryW(W(path_), nullptr);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() {
    WIN32_FIND_DATAW found{};
    unique_hfind search(::FindFirstFileW(W(path_ + u"*"), &found));
    if (search) {
      do {
        ::DeleteFileW(W(path_ + FromWide(found.cFileName)));
      } while (::FindNextFileW(search.get(), &found));
    }
    ::RemoveDirectoryW(W(path_));
  }

  const Text& Path() const { return path_; }  // ends in a backslash

 private:
  static inline unsigned counter_ = 0;
  Text path_;
};

inline std::string ReadFileBytes(const Text& path) {
  unique_hfile file(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}
