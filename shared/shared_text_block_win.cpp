#include "shared/shared_text_block_win.h"

#include <cstring>

#include "shared/shared_text_block.h"

namespace {

unique_handle CreateMappingWith(const std::string& block) {
  unique_handle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             static_cast<DWORD>(block.size()), nullptr));
  if (!mapping) return {};
  unique_mapped_view view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, block.size()));
  if (!view) return {};
  std::memcpy(view.get(), block.data(), block.size());
  return mapping;
}

}  // namespace

unique_handle CreateSharedTextBlock(std::string_view ansiText) {
  return CreateMappingWith(EncodeSharedTextBlock(ansiText));
}

unique_handle CreateSharedBytesBlock(std::string_view bytes) {
  return CreateMappingWith(EncodeSharedBytesBlock(bytes));
}

std::optional<std::string> TakeSharedTextBlock(HANDLE block) {
  auto bytes = TakeSharedBytesBlock(block);
  if (!bytes) return std::nullopt;
  return bytes->substr(0, bytes->find('\0'));
}

std::optional<std::string> TakeSharedBytesBlock(HANDLE block) {
  unique_handle owned(block);
  if (!owned) return std::nullopt;
  unique_mapped_view view(::MapViewOfFile(owned.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) return std::nullopt;
  // The sender decides the count; the readable size of the view bounds it.
  MEMORY_BASIC_INFORMATION info{};
  if (!::VirtualQuery(view.get(), &info, sizeof info)) return std::nullopt;
  const size_t readable = info.RegionSize - (static_cast<char*>(view.get()) - static_cast<char*>(info.BaseAddress));
  return DecodeSharedBytesBlock(view.get(), readable);
}

HANDLE DuplicateSharedTextBlockTo(HWND window, HANDLE block) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (!processId) return nullptr;
  unique_handle target(::OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
  if (!target) return nullptr;
  HANDLE duplicate = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), block, target.get(), &duplicate, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
    return nullptr;
  return duplicate;
}
