#include "headless/edit_surface.h"

#include <algorithm>

#include "surface/horizontal_scroll.h"
#include "surface/keyboard_clipboard.h"

namespace tavi {

HeadlessEditSurface::HeadlessEditSurface(FocusTracker& focus, HeadlessWindowSystem& windows,
                                         HeadlessClipboard& clipboard)
    : focus_(focus), clipboard_(clipboard), hwnd_(windows.createWindow()) {}

void HeadlessEditSurface::textChanged() {
  firstVisible_ = std::min(firstVisible_, lineCount() - 1);
  if (listener_ != nullptr) listener_->surfaceChanged();
}

void HeadlessEditSurface::selectionMoved(int32_t offset) {
  const int32_t line = lineFromChar(offset);
  const int32_t rows = visibleRows();
  if (line < firstVisible_) firstVisible_ = line;
  if (line >= firstVisible_ + rows) firstVisible_ = line - rows + 1;
  if (!followAcross_) return;
  const int32_t x = headless::kCellWidth * (offset - lineStart(line));
  const int32_t width = clientWidth();
  scrollX_ = horizontal_scroll::offsetShowing(x, scrollX_, width - kCaretRoom,
                                              horizontal_scroll::jumpOf(width));
}

void HeadlessEditSurface::scrollRows(int32_t rows) {
  firstVisible_ = std::clamp(firstVisible_ + rows, 0, std::max(0, lineCount() - visibleRows()));
}

void HeadlessEditSurface::tabOut() {
  if (hasFocus()) focus_.moveTo(nullptr);
}

void HeadlessEditSurface::scrollTo(int32_t line) {
  firstVisible_ = std::clamp(line, 0, lineCount() - 1);
}

int32_t HeadlessEditSurface::visibleRows() const {
  return std::max(1, height_ / headless::kTwipsPerPixel / headless::kCellHeight);
}

void HeadlessEditSurface::sendEditMessage(int message) {
  if (message == kWmCut) cutSelection(model_, model_.locked(), clipboard_);
  if (message == kWmCopy) copySelection(model_, clipboard_);
}

PixelPoint HeadlessEditSurface::pixelOf(int32_t offset) const {
  const int32_t line = lineFromChar(offset);
  const int32_t col = std::clamp(offset, 0, textLength()) - lineStart(line);
  return {headless::kCellWidth * col - scrollX_, headless::kCellHeight * (line - firstVisible_)};
}

void HeadlessEditSurface::focusGained() {
  if (listener_ != nullptr) listener_->surfaceGotFocus();
}

void HeadlessEditSurface::focusLost() {
  if (listener_ != nullptr) listener_->surfaceLostFocus();
}

}  // namespace tavi
