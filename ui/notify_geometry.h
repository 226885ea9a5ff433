// Where the notification pop-up and the ticker go and how they are laid out: plain rectangles
// in screen or window pixels, so that every rule can be checked without a window. The layout's
// lengths are for 96 dpi and scaled to the `dpi` of the monitor the window is on.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "util/dpi_scale.h"

struct Box {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool operator==(const Box&) const = default;
};

struct Extent {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Extent&) const = default;
};

// The window's constant alpha for the "notifyAlpha" setting; nullopt for an opaque window.
std::optional<uint8_t> WindowAlpha(int32_t notifyAlpha);

// The pop-up's size for the measured body and title, and its place by "notifyPos" in the work
// area of the monitor that holds the tray.
Extent PopupSize(Extent body, Extent title, int32_t dpi = kBaseDpi);
Box PlacePopup(int32_t notifyPos, Box workArea, Extent size, int32_t dpi = kBaseDpi);

struct PopupButtons {
  Box show;   // "表示する"
  Box close;  // "閉じる"
};
PopupButtons PopupButtonBoxes(Extent popup, int32_t dpi = kBaseDpi);

// The ticker's fixed height for the system's sizing-frame height.
int32_t TickerHeight(int32_t sizingFrame, int32_t dpi = kBaseDpi);
// The left edge of the article title for the scroll step (1 to 20; 20 is at rest).
int32_t TickerTitleLeft(int32_t clientWidth, int32_t scrollStep, int32_t dpi = kBaseDpi);
Box TickerCloseButton(int32_t clientWidth, int32_t dpi = kBaseDpi);
// Milliseconds between ticker entries for "tickerInterval" (3 seconds at the least).
uint32_t TickerIntervalMilliseconds(int32_t tickerInterval);

// The ticker's saved place, moved to its default place in the primary work area when no
// monitor shows enough of it to take hold of; its width within the tracking minimum and that
// work area.
Box PlaceTicker(Box saved, const std::vector<Box>& monitors, Box primaryWorkArea, int32_t dpi = kBaseDpi);

// At 96 dpi.
inline constexpr int32_t kTickerMinWidth = 100;
inline constexpr int32_t kTickerScrollSteps = 20;
