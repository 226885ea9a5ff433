// What the notification pop-up and the ticker share: translucency, fonts, the painted
// background, double-buffered painting, and where the pointer and the tray are.
#pragma once

#include <windows.h>

#include "ui/notify_geometry.h"
#include "util/text.h"
#include "util/unique_handle_win.h"

// Translucency by the "notifyAlpha" setting (100 or more: opaque), on Windows 2000 and later.
void SetWindowAlpha(HWND window, int32_t notifyAlpha);

// "MS UI Gothic" in the Japanese character set, `height` pixels at 96 dpi scaled to `dpi`.
unique_hgdiobj CreateNoticeFont(int height, int weight, UINT dpi);

// The tooltip colour, "popup.bmp" of the program folder tiled over it where there is one, and a
// bump edge around it.
void PaintNoticeBackground(HDC dc, const RECT& bounds, const Text& programDirectory);

// Text as drawn with `flags` (no prefixes), measured in `font`.
Extent MeasureText(HDC dc, HFONT font, const Text& text, UINT flags);

// Paints a window's client area through a memory bitmap, so that nothing flickers; copied to the
// screen when it goes.
class BufferedPaint {
 public:
  explicit BufferedPaint(HWND window);
  ~BufferedPaint();
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;

  HDC dc() const { return memory_ ? memory_ : paint_.hdc; }
  const RECT& client() const { return client_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  RECT client_{};
  HDC memory_ = nullptr;
  unique_hgdiobj bitmap_;
  HGDIOBJ previous_ = nullptr;
};

// The pointer is over the window's client area.
bool PointerOver(HWND window);

// The work area of the monitor that holds the task bar's tray (the primary one without it).
Box TrayWorkArea();

inline Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
