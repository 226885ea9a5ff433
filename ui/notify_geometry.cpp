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
constexpr int32_t kTickerCloseFromRight = 17;  // the close button's left edge
constexpr int32_t kTickerCloseTop = 5;
constexpr int32_t kTickerCloseSide = 13;
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

Extent PopupSize(Extent body, Extent title, int32_t dpi) {
  return {std::max(body.width + ScaleToDpi(kPopupTextMargin, dpi), ScaleToDpi(kPopupMinimum.width, dpi)),
          std::max(body.height + title.height + ScaleToDpi(kPopupChrome, dpi), ScaleToDpi(kPopupMinimum.height, dpi))};
}

// A pop-up larger than the work area (a folder list of a remote outline can be as long as it
// likes) is cut to it, so that its buttons stay on the screen.
Box PlacePopup(int32_t notifyPos, Box workArea, Extent size, int32_t dpi) {
  const int32_t width = std::min(size.width, workArea.Width());
  const int32_t height = std::min(size.height, workArea.Height());
  const int32_t edgeGap = ScaleToDpi(kPopupEdgeGap, dpi);
  const int32_t endGap = ScaleToDpi(kPopupEndGap, dpi);
  int32_t left = workArea.right - width - edgeGap;
  int32_t top = workArea.bottom - height - endGap;
  switch (notifyPos) {
    case 0:
      left = workArea.left + (workArea.Width() - width) / 2;
      top = workArea.top + (workArea.Height() - height) / 2;
      break;
    case 1:
      left = workArea.left + edgeGap;
      top = workArea.top + endGap;
      break;
    case 2: top = workArea.top + endGap; break;
    case 3: left = workArea.left + edgeGap; break;
  }
  left = std::max(left, workArea.left);
  top = std::max(top, workArea.top);
  return {left, top, left + width, top + height};
}

PopupButtons PopupButtonBoxes(Extent popup, int32_t dpi) {
  const int32_t left = (popup.width - ScaleToDpi(kPopupButtonsWidth, dpi)) / 2;
  const int32_t top = popup.height - ScaleToDpi(kPopupButtonTop, dpi);
  const Box show{left, top, left + ScaleToDpi(kPopupButton.width, dpi), top + ScaleToDpi(kPopupButton.height, dpi)};
  const int32_t stride = ScaleToDpi(kPopupButtonStride, dpi);
  return {show, {show.left + stride, top, show.right + stride, show.bottom}};
}

int32_t TickerHeight(int32_t sizingFrame, int32_t dpi) {
  return 2 * sizingFrame + ScaleToDpi(kTickerClientHeight, dpi);
}

int32_t TickerTitleLeft(int32_t clientWidth, int32_t scrollStep, int32_t dpi) {
  if (scrollStep >= kTickerScrollSteps) return ScaleToDpi(kTickerTextLeft, dpi);
  return clientWidth - scrollStep * (clientWidth - ScaleToDpi(9, dpi)) / kTickerScrollSteps - ScaleToDpi(3, dpi);
}

Box TickerCloseButton(int32_t clientWidth, int32_t dpi) {
  const int32_t left = clientWidth - ScaleToDpi(kTickerCloseFromRight, dpi);
  const int32_t top = ScaleToDpi(kTickerCloseTop, dpi);
  const int32_t side = ScaleToDpi(kTickerCloseSide, dpi);
  return {left, top, left + side, top + side};
}

uint32_t TickerIntervalMilliseconds(int32_t tickerInterval) {
  const int64_t seconds = std::max<int64_t>(tickerInterval, kMinimumTickerSeconds);
  return static_cast<uint32_t>(std::min<int64_t>(seconds * 1000, kTimerMaximum));
}

Box PlaceTicker(Box saved, const std::vector<Box>& monitors, Box primaryWorkArea, int32_t dpi) {
  int32_t widest = primaryWorkArea.Width();
  for (const Box& monitor : monitors) widest = std::max(widest, monitor.Width());
  const int32_t width = std::max(ScaleToDpi(kTickerMinWidth, dpi), std::min(saved.Width(), widest));
  Box placed{saved.left, saved.top, saved.left + width, saved.top + saved.Height()};
  for (const Box& monitor : monitors) {
    const Box shown = Intersection(placed, monitor);
    if (shown.Width() >= ScaleToDpi(kGraspWidth, dpi) && shown.Height() >= ScaleToDpi(kGraspHeight, dpi)) return placed;
  }
  placed.left = primaryWorkArea.left + ScaleToDpi(kTickerDefaultOffset, dpi);
  placed.top = primaryWorkArea.top + ScaleToDpi(kTickerDefaultOffset, dpi);
  return {placed.left, placed.top, placed.left + width, placed.top + saved.Height()};
}
