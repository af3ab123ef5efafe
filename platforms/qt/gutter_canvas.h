// The gutter and the frame on Qt. The gutter is a widget with a backing image: the
// control's drawing calls paint into the image at once (from its Paint notification or
// from anywhere else, as drawing on a device context does) and the widget shows the image.
// Its text takes the font and the line spacing of the editor it stands beside, and its
// rows start where the editor's text area does, so that each number sits on its line.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "shell/widgets/gutter_canvas.h"

namespace tavi::qt {

class QtEditSurface;
class QtGutterCanvas;

class GutterWidget final : public QWidget {
  Q_OBJECT

 public:
  GutterWidget(QtGutterCanvas& canvas, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QtGutterCanvas& canvas_;
};

// A number drawn in the last paint, where it was painted in the gutter's pixels, for hosts
// and tests that look at the gutter.
struct GutterNumber {
  PixelRect rect;
  Text text;
  int32_t color = 0;
};

// A line drawn in the last paint, as the control gave it.
struct GutterLine {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int32_t color = 0;
};

// What the gutter shows since the last fill of the whole gutter: that background fill (none
// when the control drew without filling first), the numbers top to bottom (a row drawn
// again replaces the one it covers) and the lines in the order drawn.
struct GutterPaintRecord {
  std::optional<PixelRect> fill;
  int32_t fillColor = 0;
  std::vector<GutterNumber> numbers;
  std::vector<GutterLine> lines;
};

class QtGutterCanvas final : public GutterCanvas {
 public:
  explicit QtGutterCanvas(QWidget* parent);
  QtGutterCanvas(const QtGutterCanvas&) = delete;
  QtGutterCanvas& operator=(const QtGutterCanvas&) = delete;

  GutterWidget* widget() const { return widget_; }
  // The editor whose lines the gutter numbers: its font, line spacing and text area. The
  // gutter repaints when the editor's first visible line, rows or lines in view or font
  // change.
  void followEditor(const QtEditSurface* editor);
  // What the widget's paint event asks of the control (its gutterPaint notification).
  void setPaintHandler(std::function<void()> handler) { paintHandler_ = std::move(handler); }

  int32_t width() const override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  void setTabStop(bool) override {}
  void setFontName(TextView face) override;
  // The picture box's default background: the system's button face.
  int32_t backColor() const override { return static_cast<int32_t>(0x8000000F); }
  bool autoRedraw() const override { return false; }
  void refresh() override;

  PixelRect clientRect() const override;
  PixelRect measureText(TextView text) const override;
  void fillRect(const PixelRect& rect, int32_t color) override;
  void drawText(const PixelRect& rect, TextView text, int32_t color, uint32_t format) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) override;
  // The image keeps what was drawn until it is resized or the font or the rows' origin
  // change.
  bool keepsDrawing() const override;

  // Nothing before the first paint.
  const std::optional<GutterPaintRecord>& lastPaint() const { return paint_; }
  const std::vector<GutterNumber>& lastNumbers() const;
  const QImage& image() const { return image_; }
  // Runs the paint handler and shows the image (the widget's paint event).
  void paint();

 private:
  // The image at the widget's size.
  QImage& target();
  // Drawing outside a paint event asks for the pixels it changed to be shown.
  void changed(const QRect& pixels);
  // The editor's font under the face the control names.
  QFont font() const;
  // The distance between the tops of two lines of text in `font`.
  int lineSpacing(const QFont& font) const;
  // The top of the editor's text area, in the gutter's pixels.
  int rowOrigin() const;

  GutterWidget* widget_;
  QImage image_;
  const QtEditSurface* editor_ = nullptr;
  QFont font_;  // without an editor
  QString face_;
  std::function<void()> paintHandler_;
  GutterPaintRecord& currentPaint();

  std::optional<GutterPaintRecord> paint_;
  bool painting_ = false;
  // Since the last fill of the whole image: nothing drawn has been lost, in this font and
  // with the rows from this origin.
  bool intact_ = false;
  QFont fontAtFill_;
  int originAtFill_ = 0;
};

// The frame: a borderless widget holding the gutter and the editor.
class QtFrameBox final : public FrameBox {
 public:
  explicit QtFrameBox(QWidget* parent);
  QWidget* widget() const { return widget_; }
  int32_t width() const override;
  void setWidth(int32_t v) override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  int32_t innerWidth() const override { return width(); }
  int32_t innerHeight() const override { return height(); }
  void setTabStop(bool) override {}

 private:
  QWidget* widget_;
};

}  // namespace tavi::qt
