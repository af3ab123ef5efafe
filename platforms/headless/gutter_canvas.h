// The headless gutter: a picture box 720 twips wide whose drawing is recorded. A paint
// starts with the background fill; the record of the last paint holds the fill, every
// text drawn and every line drawn, in order.
#pragma once

#include <optional>
#include <vector>

#include "headless/metrics.h"
#include "shell/widgets/gutter_canvas.h"
#include "shell/widgets/size_check.h"

namespace tavi {

namespace headless {
// The background colour code of a picture box: the system's button face.
inline constexpr int32_t kButtonFaceColorCode = static_cast<int32_t>(0x8000000F);
}  // namespace headless

struct GutterTextDrawn {
  PixelRect rect;
  Text text;
  int32_t color = 0;
  uint32_t format = 0;
};

struct GutterLineDrawn {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  int32_t color = 0;
};

struct GutterPaint {
  std::optional<PixelRect> fillRect;  // none when the paint drew without filling first
  int32_t fillColor = 0;
  std::vector<GutterTextDrawn> texts;
  std::vector<GutterLineDrawn> lines;
};

class HeadlessGutterCanvas final : public GutterCanvas {
 public:
  int32_t width() const override { return headless::kGutterWidth; }
  int32_t height() const override { return height_; }
  void setHeight(int32_t v) override { height_ = checkedSize(v); }
  void setTabStop(bool tabStop) override { tabStop_ = tabStop; }
  void setFontName(TextView face) override { fontName_ = Text(face); }
  int32_t backColor() const override { return headless::kButtonFaceColorCode; }
  bool autoRedraw() const override { return false; }
  void refresh() override { ++refreshCount_; }

  // The client area is the whole box, in pixels (twips / 15).
  PixelRect clientRect() const override;
  // Every code unit 7 pixels wide, 16 pixels high.
  PixelRect measureText(TextView text) const override;
  void fillRect(const PixelRect& rect, int32_t color) override;
  void drawText(const PixelRect& rect, TextView text, int32_t color, uint32_t format) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) override;

  // The last paint, or nothing before the first.
  const std::optional<GutterPaint>& lastPaint() const { return paint_; }
  Text fontName() const { return fontName_; }
  bool tabStop() const { return tabStop_; }
  int refreshCount() const { return refreshCount_; }

 private:
  GutterPaint& currentPaint();

  int32_t height_ = headless::kDefaultControlHeight;
  bool tabStop_ = true;
  Text fontName_ = u"Courier New";
  int refreshCount_ = 0;
  std::optional<GutterPaint> paint_;
};

}  // namespace tavi
