// The headless surface's own handling of a person's keys and mouse presses.
#include <algorithm>
#include <cmath>

#include "headless/edit_surface.h"
#include "headless/screen.h"
#include "headless/us_keyboard.h"
#include "shell/runtime_error.h"
#include "shell/word_stops.h"

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

void HeadlessEditSurface::typeInput(TextView chars) {
  if (locked_) return;
  if (maxLength_ > 0 &&
      int64_t{textLength()} - selLength_ + static_cast<int64_t>(chars.size()) > maxLength_)
    return;
  replaceRange(selStart_, selLength_, chars);
}

void HeadlessEditSurface::keyAction(int16_t keyCode, int16_t shift, bool capsLock) {
  const bool withShift = (shift & kShiftMask) != 0;
  const bool ctrl = (shift & kCtrlMask) != 0;
  const bool alt = (shift & kAltMask) != 0;
  switch (keyCode) {
    case vk::kLeft:
    case vk::kRight:
    case vk::kUp:
    case vk::kDown:
    case vk::kHome:
    case vk::kEnd:
    case vk::kPrior:
    case vk::kNext:
      moveCaret(keyCode, withShift, ctrl);
      return;
    case vk::kBack:
      if (ctrl) {
        deleteWordBackward();
      } else {
        deleteBackward();
      }
      return;
    case vk::kDelete:
      if (shift == kShiftMask) {
        cutByKey();
      } else if (ctrl) {
        deleteWordForward();
      } else {
        deleteForward();
      }
      return;
    case vk::kInsert:
      if (shift == kCtrlMask) copyByKey();
      if (shift == kShiftMask) pasteByKey();
      return;
    case vk::kReturn:
      if (!alt) typeInput(u"\r\n");
      return;
    case vk::kTab:
      // Tab moves the focus on to the host's next tab stop.
      if (hasFocus()) focus_.moveTo(nullptr);
      return;
    default:
      break;
  }
  if (shift == kCtrlMask) {
    if (keyCode == vk::kX) cutByKey();
    if (keyCode == vk::kC) copyByKey();
    if (keyCode == vk::kV) pasteByKey();
    if (keyCode == vk::kA) select(0, textLength(), true);
    return;
  }
  if (ctrl || alt) return;
  if (const auto c = charForKey(keyCode, withShift, capsLock)) typeInput(TextView(&*c, 1));
}

int32_t HeadlessEditSurface::previousPosition(int32_t offset) const {
  if (offset <= 0) return 0;
  if (offset >= 2 && ((text_[offset - 2] == kCR && text_[offset - 1] == kLF) ||
                      (isHighSurrogate(text_[offset - 2]) && isLowSurrogate(text_[offset - 1]))))
    return offset - 2;
  return offset - 1;
}

int32_t HeadlessEditSurface::nextPosition(int32_t offset) const {
  const int32_t len = textLength();
  if (offset >= len) return len;
  if (offset + 1 < len && ((text_[offset] == kCR && text_[offset + 1] == kLF) ||
                           (isHighSurrogate(text_[offset]) && isLowSurrogate(text_[offset + 1]))))
    return offset + 2;
  return offset + 1;
}

int32_t HeadlessEditSurface::positionOnLine(int32_t line, int32_t column) const {
  const int32_t start = lineStart(line);
  int32_t p = start + std::clamp(column, 0, lineEnd(line) - start);
  if (p > start && isHighSurrogate(text_[p - 1]) && p < textLength() && isLowSurrogate(text_[p]))
    --p;
  return p;
}

// Ctrl+Left and Ctrl+Right move from the active end of a selection, they do not first
// collapse it as Left and Right do.
void HeadlessEditSurface::moveCaret(int16_t keyCode, bool extend, bool ctrl) {
  if (!extend && !ctrl && selLength_ > 0 && (keyCode == vk::kLeft || keyCode == vk::kRight)) {
    const int32_t p = keyCode == vk::kLeft ? selStart_ : selEnd();
    select(p, p, true);
    return;
  }
  const int32_t anchor = activeAtEnd_ ? selStart_ : selEnd();
  const int32_t active = activeAtEnd_ ? selEnd() : selStart_;
  const int32_t line = lineFromChar(active);
  const int32_t col = column(active);
  const int32_t rows = visibleRows();
  int32_t target = active;
  switch (keyCode) {
    case vk::kLeft:
      target = ctrl ? previousWordStop(text_, active) : previousPosition(active);
      break;
    case vk::kRight:
      target = ctrl ? nextWordStop(text_, textLength(), active) : nextPosition(active);
      break;
    case vk::kUp:
      if (line > 0) target = positionOnLine(line - 1, col);
      break;
    case vk::kDown:
      if (line + 1 < lineCount()) target = positionOnLine(line + 1, col);
      break;
    case vk::kHome:
      target = ctrl ? 0 : lineStart(line);
      break;
    case vk::kEnd:
      target = ctrl ? textLength() : lineEnd(line);
      break;
    case vk::kPrior:
      scrollTo(firstVisible_ - rows);
      target = positionOnLine(std::max(0, line - rows), col);
      break;
    case vk::kNext:
      scrollTo(firstVisible_ + rows);
      target = positionOnLine(std::min(lineCount() - 1, line + rows), col);
      break;
    default:
      break;
  }
  select(extend ? anchor : target, target, true);
}

void HeadlessEditSurface::deleteBackward() {
  if (locked_) return;
  if (selLength_ > 0) return replaceRange(selStart_, selLength_, u"");
  const int32_t from = previousPosition(selStart_);
  replaceRange(from, selStart_ - from, u"");
}

void HeadlessEditSurface::deleteForward() {
  if (locked_) return;
  if (selLength_ > 0) return replaceRange(selStart_, selLength_, u"");
  replaceRange(selStart_, nextPosition(selStart_) - selStart_, u"");
}

void HeadlessEditSurface::deleteWordBackward() {
  if (locked_) return;
  if (selLength_ > 0) return replaceRange(selStart_, selLength_, u"");
  const int32_t from = previousWordStop(text_, selStart_);
  replaceRange(from, selStart_ - from, u"");
}

void HeadlessEditSurface::deleteWordForward() {
  if (locked_) return;
  if (selLength_ > 0) return replaceRange(selStart_, selLength_, u"");
  replaceRange(selStart_, nextWordStop(text_, textLength(), selStart_) - selStart_, u"");
}

// The keyboard shortcuts act inside the widget: a clipboard that cannot be opened makes
// them do nothing, there is nobody to report an error to.
void HeadlessEditSurface::cutByKey() {
  if (locked_ || selLength_ == 0) return;
  try {
    clipboard_.setText(selText());
  } catch (const RuntimeError&) {
    return;
  }
  replaceRange(selStart_, selLength_, u"");
}

void HeadlessEditSurface::copyByKey() {
  if (selLength_ == 0) return;
  try {
    clipboard_.setText(selText());
  } catch (const RuntimeError&) {
  }
}

void HeadlessEditSurface::pasteByKey() {
  if (locked_) return;
  std::optional<Text> content;
  try {
    content = clipboard_.text();
  } catch (const RuntimeError&) {
    return;
  }
  if (content) replaceRange(selStart_, selLength_, fitting(*content));
}

void HeadlessEditSurface::pressAt(double x, double y, bool extend) {
  const int32_t p = offsetAt(x, y);
  select(extend ? (activeAtEnd_ ? selStart_ : selEnd()) : p, p, true);
}

int32_t HeadlessEditSurface::offsetAt(double x, double y) const {
  const double row = std::floor(cells(y, headless::kCellHeight));
  const int64_t line =
      std::clamp<int64_t>(firstVisible_ + static_cast<int64_t>(row), 0, lineCount() - 1);
  const int64_t col = std::max<int64_t>(0, std::llround(cells(x, headless::kCellWidth)));
  return positionOnLine(static_cast<int32_t>(line),
                        static_cast<int32_t>(std::min<int64_t>(col, textLength())));
}

}  // namespace tavi
