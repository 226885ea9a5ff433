#include "ui/notify_geometry.h"

#include <algorithm>

namespace {

constexpr int32_t kOpaqueFrom = 100;
constexpr Extent kPopupMinimum{160, 100};
constexpr int32_t kPopupTextMargin = 30;
constexpr int32_t kPopupChrome = 58;  // title gap, button row and edges
constexpr int32_t kPopupEdgeGap = 4;  // from the left or right of the work area
constexpr int32_t kPopupEndGap = 1;   // from its top or bottom
constexpr Extent kPopupButton{60, 21};
constexpr int32_t kPopupButtonTop = 28;     // above the bottom
constexpr int32_t kPopupButtonsWidth = 130;
constexpr int32_t kPopupButtonStride = 70;
constexpr int32_t kTickerClientHeight = 37;
constexpr int32_t kTickerTextLeft = 6;
constexpr int32_t kMinimumTickerSeconds = 3;
constexpr int64_t kTimerMaximum = 0x7FFFFFFF;  // what the system's timers take at most
// A ticker is within reach when this much of it lies on one monitor.
constexpr int32_t kGraspWidth = 32;
constexpr int32_t kGraspHeight = 16;
constexpr int32_t kTickerDefaultOffset = 32;

Box Intersection(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

}  // namespace

// Values below 0 count as 0: the formula would otherwise make the window all but invisible (an
// alpha of 1 at -27), and such a window still holds itself open under the pointer.
std::optional<uint8_t> WindowAlpha(int32_t notifyAlpha) {
  if (notifyAlpha >= kOpaqueFrom) return std::nullopt;
  const int32_t value = std::max(notifyAlpha, 0);
  return static_cast<uint8_t>((2 * value + 55) % 256);
}

Extent PopupSize(Extent body, Extent title) {
  return {std::max(body.width + kPopupTextMargin, kPopupMinimum.width),
          std::max(body.height + title.height + kPopupChrome, kPopupMinimum.height)};
}

// A pop-up larger than the work area (a folder list of a remote outline can be as long as it
// likes) is cut to it, so that its buttons stay on the screen.
Box PlacePopup(int32_t notifyPos, Box workArea, Extent size) {
  const int32_t width = std::min(size.width, workArea.Width());
  const int32_t height = std::min(size.height, workArea.Height());
  int32_t left = workArea.right - width - kPopupEdgeGap;
  int32_t top = workArea.bottom - height - kPopupEndGap;
  switch (notifyPos) {
    case 0:
      left = workArea.left + (workArea.Width() - width) / 2;
      top = workArea.top + (workArea.Height() - height) / 2;
      break;
    case 1:
      left = workArea.left + kPopupEdgeGap;
      top = workArea.top + kPopupEndGap;
      break;
    case 2: top = workArea.top + kPopupEndGap; break;
    case 3: left = workArea.left + kPopupEdgeGap; break;
  }
  left = std::max(left, workArea.left);
  top = std::max(top, workArea.top);
  return {left, top, left + width, top + height};
}

PopupButtons PopupButtonBoxes(Extent popup) {
  const int32_t left = (popup.width - kPopupButtonsWidth) / 2;
  const int32_t top = popup.height - kPopupButtonTop;
  const Box show{left, top, left + kPopupButton.width, top + kPopupButton.height};
  return {show, {show.left + kPopupButtonStride, top, show.right + kPopupButtonStride, show.bottom}};
}

int32_t TickerHeight(int32_t sizingFrame) { return 2 * sizingFrame + kTickerClientHeight; }

int32_t TickerTitleLeft(int32_t clientWidth, int32_t scrollStep) {
  if (scrollStep >= kTickerScrollSteps) return kTickerTextLeft;
  return clientWidth - scrollStep * (clientWidth - 9) / kTickerScrollSteps - 3;
}

Box TickerCloseButton(int32_t clientWidth) { return {clientWidth - 17, 5, clientWidth - 4, 18}; }

uint32_t TickerIntervalMilliseconds(int32_t tickerInterval) {
  const int64_t seconds = std::max<int64_t>(tickerInterval, kMinimumTickerSeconds);
  return static_cast<uint32_t>(std::min<int64_t>(seconds * 1000, kTimerMaximum));
}

Box PlaceTicker(Box saved, const std::vector<Box>& monitors, Box primaryWorkArea) {
  int32_t widest = primaryWorkArea.Width();
  for (const Box& monitor : monitors) widest = std::max(widest, monitor.Width());
  const int32_t width = std::max(kTickerMinWidth, std::min(saved.Width(), widest));
  Box placed{saved.left, saved.top, saved.left + width, saved.top + saved.Height()};
  for (const Box& monitor : monitors) {
    const Box shown = Intersection(placed, monitor);
    if (shown.Width() >= kGraspWidth && shown.Height() >= kGraspHeight) return placed;
  }
  placed.left = primaryWorkArea.left + kTickerDefaultOffset;
  placed.top = primaryWorkArea.top + kTickerDefaultOffset;
  return {placed.left, placed.top, placed.left + width, placed.top + saved.Height()};
}
