#include "util/file_io_win.h"

#include <windows.h>

#include <algorithm>

#include "util/unique_handle_win.h"
#include "util/wide_win.h"

std::optional<std::string> ReadWholeFile(const Text& path) {
  unique_hfile file(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxDocumentFileBytes)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                    nullptr))
      return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

namespace {

bool WriteNewFile(const Text& path, std::string_view bytes) {
  unique_hfile file(::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  // The data must be on the disk before the rename makes it the only copy.
  return ::FlushFileBuffers(file.get()) != 0;
}

}  // namespace

bool ReplaceFileContents(const Text& path, std::string_view bytes) {
  // A read-only file is one the user asked to keep as it is. Windows refuses to move another
  // file over it; the check makes every platform do the same.
  const DWORD attributes = ::GetFileAttributesW(W(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  const Text temporary = path + u".new";
  if (!WriteNewFile(temporary, bytes) ||
      !::MoveFileExW(W(temporary), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(W(temporary));
    return false;
  }
  return true;
}

bool FileExists(const Text& path) { return ::GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }
