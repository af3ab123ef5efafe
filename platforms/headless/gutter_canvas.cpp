#include "headless/gutter_canvas.h"

namespace tavi {

PixelRect HeadlessGutterCanvas::clientRect() const {
  return {0, 0, width() / headless::kTwipsPerPixel, height_ / headless::kTwipsPerPixel};
}

PixelRect HeadlessGutterCanvas::measureText(TextView text) const {
  return {0, 0, headless::kMeasureCharWidth * static_cast<int32_t>(text.size()),
          headless::kMeasureTextHeight};
}

void HeadlessGutterCanvas::fillRect(const PixelRect& rect, int32_t color) {
  paint_ = GutterPaint{rect, color, {}, {}};
}

void HeadlessGutterCanvas::drawText(const PixelRect& rect, TextView text, int32_t color,
                                    uint32_t format) {
  currentPaint().texts.push_back({rect, Text(text), color, format});
}

void HeadlessGutterCanvas::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) {
  currentPaint().lines.push_back({x1, y1, x2, y2, color});
}

GutterPaint& HeadlessGutterCanvas::currentPaint() {
  if (!paint_) paint_.emplace();
  return *paint_;
}

}  // namespace tavi
