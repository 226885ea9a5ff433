#include "app/notices_win.h"

#include <mmsystem.h>

#include <vector>

#include "app/directories.h"
#include "shared/names.h"
#include "util/file_io_win.h"
#include "util/unique_handle_win.h"
#include "util/wide_win.h"

namespace {

constexpr wchar_t kSystemNotificationKey[] =
    L"AppEvents\\Schemes\\Apps\\.Default\\SystemNotification\\.Current";

// The default value of the key, environment references expanded; empty when there is none.
Text SystemNotificationSound() {
  unique_hkey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSystemNotificationKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return {};
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
    return {};
  std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS)
    return {};
  if (type == REG_SZ) return FromWide(value.data());
  const DWORD needed = ::ExpandEnvironmentStringsW(value.data(), nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> expanded(needed + 1, L'\0');
  if (!::ExpandEnvironmentStringsW(value.data(), expanded.data(), needed + 1)) return {};
  return FromWide(expanded.data());
}

void PlayFile(const Text& path) {
  ::PlaySoundW(W(path), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

BOOL CALLBACK PostToCatchWindow(HWND window, LPARAM message) noexcept {
  wchar_t className[256] = {};
  if (::GetClassNameW(window, className, 255) && FromWide(className) == kBandCatchWindowClass) {
    const auto* post = reinterpret_cast<const std::pair<UINT, WPARAM>*>(message);
    ::PostMessageW(window, post->first, post->second, 0);
  }
  return TRUE;
}

}  // namespace

void PlayNotifySound(TextView soundFile, const Text& programDirectory, bool systemFallback) {
  if (!soundFile.empty()) {
    const Text path = FromProgramDirectory(soundFile, programDirectory);
    if (FileExists(path)) return PlayFile(path);
  }
  if (!systemFallback) return;
  const Text system = SystemNotificationSound();
  if (!system.empty()) PlayFile(system);
}

void BroadcastToolbarState(UINT newsMessage, bool hasNews) {
  if (newsMessage == 0) return;
  const std::pair<UINT, WPARAM> post{newsMessage, hasNews ? 1 : 0};
  ::EnumWindows(&PostToCatchWindow, reinterpret_cast<LPARAM>(&post));
}
