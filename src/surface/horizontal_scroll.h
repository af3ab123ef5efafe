// Scrolling across a view of lines wider than it: where the caret is kept and how far the
// view may scroll. Pixels; the platforms measure their lines, the rule is the same.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavi::horizontal_scroll {

// Decided: the caret leaving the view across scrolls it a quarter of the view further than
// needed, as rich edit boxes do, so that typing at the edge scrolls every few characters,
// not on every key.
constexpr int32_t jumpOf(int32_t viewWidth) { return std::max(0, viewWidth) / 4; }

// The offset that shows pixel `x` of a line (from the line's start) in a view `width`
// pixels wide now scrolled by `offset`: unchanged while x lies in the view, else a jump
// beyond what is needed; never negative.
inline int32_t offsetShowing(double x, int32_t offset, int32_t width, int32_t jump) {
  const int32_t room = std::max(1, width);
  if (x < offset) return std::max(0, static_cast<int32_t>(std::floor(x)) - jump);
  if (x > offset + room) return static_cast<int32_t>(std::ceil(x)) - room + jump;
  return offset;
}

// How far a view `viewWidth` pixels wide scrolls over lines `content` pixels wide: nothing
// when they fit, else at least a jump beyond, in whole jumps (a line growing by a
// character changes the range only every few dozen keys).
inline int32_t rangeOf(double content, int32_t viewWidth, int32_t jump) {
  const int32_t beyond = static_cast<int32_t>(std::ceil(content)) - viewWidth;
  const int32_t step = std::max(1, jump);
  return beyond > 0 ? (beyond + 2 * step - 1) / step * step : 0;
}

}  // namespace tavi::horizontal_scroll
