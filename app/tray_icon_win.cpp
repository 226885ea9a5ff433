#include "app/tray_icon_win.h"

#include <shellapi.h>

#include <algorithm>

#include "app/tray_texts.h"
#include "shared/names.h"
#include "util/dpi_win.h"
#include "util/os_version.h"
#include "util/wide_win.h"

namespace {

constexpr UINT kTrayEntryId = 0;

template <size_t N>
void CopyCut(wchar_t (&target)[N], TextView text, size_t maxChars) {
  const Text cut = CutText(text, std::min(maxChars, N - 1));
  std::copy(cut.begin(), cut.end(), target);
  target[cut.size()] = L'\0';
}

}  // namespace

CTrayIcon::CTrayIcon(HWND window, UINT callbackMessage, HINSTANCE instance)
    : window_(window),
      callbackMessage_(callbackMessage),
      instance_(instance),
      balloons_(IsWindows2000OrLater()) {}

CTrayIcon::~CTrayIcon() { Remove(); }

// The system's small icon size on the monitor of the task bar.
HICON CTrayIcon::Icon(UINT iconId) {
  auto& icon = icons_[iconId];
  if (!icon) {
    const int size = SystemMetricForDpi(SM_CXSMICON, MonitorDpi(TaskbarMonitor()));
    icon.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
  }
  return icon.get();
}

NOTIFYICONDATAW CTrayIcon::Data(UINT flags, UINT iconId) {
  NOTIFYICONDATAW data{};
  data.cbSize = balloons_ ? sizeof data : NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window_;
  data.uID = kTrayEntryId;
  data.uFlags = flags;
  data.uCallbackMessage = callbackMessage_;
  if (flags & NIF_ICON) data.hIcon = Icon(iconId);
  if (flags & NIF_TIP) {
    const Text tip = Text(kApplicationTitle) + u" Ver " + kVersionText;
    CopyCut(data.szTip, tip, balloons_ ? 127 : 63);
  }
  return data;
}

// The pictures are loaded afresh: the shell also starts again when the display's scaling
// changed, and the small icon size with it. (The shell keeps copies of the pictures it shows.)
void CTrayIcon::Add(UINT iconId) {
  icons_.clear();
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP, iconId);
  if (!::Shell_NotifyIconW(NIM_ADD, &data)) {
    // The entry may still be there (the announcement came without a restart): show the picture.
    if (added_) ::Shell_NotifyIconW(NIM_MODIFY, &data);
    return;
  }
  added_ = true;
  if (balloons_) {
    data.uVersion = NOTIFYICON_VERSION;
    ::Shell_NotifyIconW(NIM_SETVERSION, &data);
  }
}

void CTrayIcon::Change(UINT iconId) {
  NOTIFYICONDATAW data = Data(NIF_ICON, iconId);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CTrayIcon::ChangeWithBalloon(UINT iconId, TextView text, TextView title,
                                  UINT timeoutMilliseconds) {
  if (!balloons_) return Change(iconId);
  NOTIFYICONDATAW data = Data(NIF_ICON | NIF_INFO, iconId);
  CopyCut(data.szInfo, text, kBalloonTextChars);
  CopyCut(data.szInfoTitle, title, kBalloonTitleChars);
  data.uTimeout = timeoutMilliseconds;
  data.dwInfoFlags = NIIF_INFO;
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CTrayIcon::Refresh(UINT iconId) {
  icons_.clear();
  Change(iconId);
}

void CTrayIcon::Remove() {
  if (!added_) return;
  NOTIFYICONDATAW data = Data(0, 0);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}
