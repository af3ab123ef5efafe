// The gutter and the frame: picture boxes. The gutter is a place to draw line numbers;
// the frame holds the gutter and the editor. Sizes in twips, drawing in pixels.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// DrawText formats used by the gutter.
inline constexpr uint32_t kDtRight = 0x2;
inline constexpr uint32_t kDtCalcRect = 0x400;

class GutterCanvas {
 public:
  virtual ~GutterCanvas() = default;
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  virtual void setHeight(int32_t v) = 0;
  virtual void setTabStop(bool tabStop) = 0;
  virtual void setFontName(TextView face) = 0;
  virtual int32_t backColor() const = 0;
  virtual bool autoRedraw() const = 0;
  virtual void refresh() = 0;

  // Client area in pixels (left and top are 0).
  virtual PixelRect clientRect() const = 0;
  // DrawText with kDtCalcRect: the rectangle the text needs, from an all-zero one.
  virtual PixelRect measureText(TextView text) const = 0;
  virtual void fillRect(const PixelRect& rect, int32_t color) = 0;
  virtual void drawText(const PixelRect& rect, TextView text, int32_t color, uint32_t format) = 0;
  // A solid one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
  virtual void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) = 0;
  // Whether everything drawn since the last fill of the whole client area is still shown (a
  // canvas with a backing image), so that a repaint may draw only the rows that changed. A
  // canvas that loses its drawing, or keeps a record of each whole paint, answers false and
  // is always painted whole.
  virtual bool keepsDrawing() const { return false; }
};

class FrameBox {
 public:
  virtual ~FrameBox() = default;
  // Outer size, as set by the layout.
  virtual int32_t width() const = 0;
  virtual void setWidth(int32_t v) = 0;
  virtual int32_t height() const = 0;
  virtual void setHeight(int32_t v) = 0;
  // Inner size (ScaleWidth, ScaleHeight): the outer size less the border.
  virtual int32_t innerWidth() const = 0;
  virtual int32_t innerHeight() const = 0;
  virtual void setTabStop(bool tabStop) = 0;
};

}  // namespace tavi
