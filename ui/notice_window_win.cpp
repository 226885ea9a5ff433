#include "ui/notice_window_win.h"

#include "util/dpi_win.h"
#include "util/file_io_win.h"
#include "util/os_version.h"
#include "util/wide_win.h"

namespace {

constexpr wchar_t kNoticeFontFace[] = L"MS UI Gothic";
constexpr wchar_t kBackgroundFile[] = L"popup.bmp";

using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up by name: systems before Windows 2000 do not have it.
SetLayeredWindowAttributesFunction LayeredAttributes() {
  return SystemFunction<SetLayeredWindowAttributesFunction>(::GetModuleHandleW(L"user32.dll"),
                                                            "SetLayeredWindowAttributes");
}

void TileBitmap(HDC dc, const RECT& bounds, HBITMAP picture) {
  BITMAP info{};
  if (!::GetObjectW(picture, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  HDC source = ::CreateCompatibleDC(dc);
  if (!source) return;
  HGDIOBJ previous = ::SelectObject(source, picture);
  for (LONG y = bounds.top; y < bounds.bottom; y += info.bmHeight)
    for (LONG x = bounds.left; x < bounds.right; x += info.bmWidth)
      ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  ::SelectObject(source, previous);
  ::DeleteDC(source);
}

}  // namespace

void SetWindowAlpha(HWND window, int32_t notifyAlpha) {
  if (!window || !IsWindows2000OrLater()) return;
  const auto alpha = WindowAlpha(notifyAlpha);
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!alpha) {
    if (style & WS_EX_LAYERED) ::SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~LONG_PTR(WS_EX_LAYERED));
    return;
  }
  const auto setAttributes = LayeredAttributes();
  if (!setAttributes) return;
  if (!(style & WS_EX_LAYERED)) ::SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  setAttributes(window, 0, *alpha, LWA_ALPHA);
}

unique_hgdiobj CreateNoticeFont(int height, int weight, UINT dpi) {
  return unique_hgdiobj(::CreateFontW(ScaleToDpi(height, static_cast<int32_t>(dpi)), 0, 0, 0, weight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, kNoticeFontFace));
}

void PaintNoticeBackground(HDC dc, const RECT& bounds, const Text& programDirectory) {
  ::FillRect(dc, &bounds, ::GetSysColorBrush(COLOR_INFOBK));
  const Text path = programDirectory + FromWide(kBackgroundFile);
  if (FileExists(path)) {
    unique_hgdiobj picture(::LoadImageW(nullptr, W(path), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (picture) TileBitmap(dc, bounds, static_cast<HBITMAP>(picture.get()));
  }
  RECT edge = bounds;
  ::DrawEdge(dc, &edge, EDGE_BUMP, BF_RECT);
}

Extent MeasureText(HDC dc, HFONT font, const Text& text, UINT flags) {
  HGDIOBJ previous = ::SelectObject(dc, font);
  RECT measured{0, 0, 0, 0};
  ::DrawTextW(dc, W(text), -1, &measured, flags | DT_CALCRECT | DT_NOPREFIX);
  ::SelectObject(dc, previous);
  return {measured.right - measured.left, measured.bottom - measured.top};
}

BufferedPaint::BufferedPaint(HWND window) : window_(window) {
  ::BeginPaint(window, &paint_);
  ::GetClientRect(window, &client_);
  if (!paint_.hdc || client_.right <= 0 || client_.bottom <= 0) return;
  memory_ = ::CreateCompatibleDC(paint_.hdc);
  bitmap_.reset(memory_ ? ::CreateCompatibleBitmap(paint_.hdc, client_.right, client_.bottom) : nullptr);
  if (!bitmap_) {
    // Without the bitmap the window is painted directly.
    if (memory_) ::DeleteDC(memory_);
    memory_ = nullptr;
    return;
  }
  previous_ = ::SelectObject(memory_, bitmap_.get());
}

BufferedPaint::~BufferedPaint() {
  if (memory_) {
    ::BitBlt(paint_.hdc, 0, 0, client_.right, client_.bottom, memory_, 0, 0, SRCCOPY);
    ::SelectObject(memory_, previous_);
    ::DeleteDC(memory_);
  }
  ::EndPaint(window_, &paint_);
}

bool PointerOver(HWND window) {
  POINT cursor{};
  RECT client{};
  if (!window || !::GetCursorPos(&cursor) || !::GetClientRect(window, &client)) return false;
  ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  return ::PtInRect(&client, cursor) != FALSE;
}

Box TrayWorkArea() {
  HMONITOR monitor = TaskbarMonitor();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && ::GetMonitorInfoW(monitor, &info)) return ToBox(info.rcWork);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToBox(work);
}
