// The headless surface's own handling of a person's keys and mouse presses.
#include <algorithm>
#include <cmath>
#include <optional>

#include "headless/edit_surface.h"
#include "headless/screen.h"
#include "headless/us_keyboard.h"

namespace tavi {

using namespace headless;

namespace {

float toTwips(double pixels) { return static_cast<float>(pixels * headless::kTwipsPerPixel); }

// A whole number of cells from a pixel coordinate, kept in a range where the conversion
// is defined.
double cells(double pixels, double cellSize) { return std::clamp(pixels / cellSize, -1e9, 1e9); }

}  // namespace

bool HeadlessEditSurface::raiseKeyDown(int16_t keyCode, int16_t shift) {
  if (listener_ != nullptr) listener_->surfaceKeyDown(keyCode, shift);
  return keyCode != 0;
}

void HeadlessEditSurface::raiseKeyUp(int16_t keyCode, int16_t shift) {
  if (listener_ != nullptr) listener_->surfaceKeyUp(keyCode, shift);
}

void HeadlessEditSurface::raiseMouseDown(int16_t button, int16_t shift, double x, double y) {
  if (listener_ != nullptr) listener_->surfaceMouseDown(button, shift, toTwips(x), toTwips(y));
}

void HeadlessEditSurface::raiseMouseUp(int16_t button, int16_t shift, double x, double y) {
  if (listener_ != nullptr) listener_->surfaceMouseUp(button, shift, toTwips(x), toTwips(y));
}

void HeadlessEditSurface::keyAction(int16_t keyCode, int16_t shift, bool capsLock) {
  const std::optional<char16_t> typed = charForKey(keyCode, (shift & kShiftMask) != 0, capsLock);
  model_.keyAction(keyCode, shift, typed ? &*typed : nullptr, clipboard_);
}

void HeadlessEditSurface::pressAt(double x, double y, bool extend) {
  model_.pressAt(offsetAt(x, y), extend);
}

int32_t HeadlessEditSurface::offsetAt(double x, double y) const {
  const double row = std::floor(cells(y, headless::kCellHeight));
  const int64_t line =
      std::clamp<int64_t>(firstVisible_ + static_cast<int64_t>(row), 0, lineCount() - 1);
  const int64_t col = std::max<int64_t>(0, std::llround(cells(x + scrollX_, headless::kCellWidth)));
  return model_.positionOnLine(static_cast<int32_t>(line),
                               static_cast<int32_t>(std::min<int64_t>(col, textLength())));
}

}  // namespace tavi
