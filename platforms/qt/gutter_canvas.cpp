#include "qt/gutter_canvas.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

#include "qt/edit_surface.h"
#include "qt/units.h"
#include "shell/runtime_error.h"
#include "shell/widgets/size_check.h"

namespace tavi::qt {

namespace {

constexpr int32_t kGutterWidthTwips = 720;

QRect toQRect(const PixelRect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

GutterWidget::GutterWidget(QtGutterCanvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GutterWidget::paintEvent(QPaintEvent* e) {
  canvas_.paint();
  QPainter painter(this);
  painter.drawImage(e->rect(), canvas_.image(), e->rect());
}

QtGutterCanvas::QtGutterCanvas(QWidget* parent) : widget_(new GutterWidget(*this, parent)) {
  font_ = QFont(QStringLiteral("Courier New"));
  font_.setStyleHint(QFont::Monospace);
  font_.setPointSizeF(9.75);
  widget_->setFixedWidth(toPixels(widget_, kGutterWidthTwips));
}

int32_t QtGutterCanvas::width() const { return toTwips(widget_, widget_->width()); }
int32_t QtGutterCanvas::height() const { return toTwips(widget_, widget_->height()); }

void QtGutterCanvas::setHeight(int32_t v) {
  widget_->resize(widget_->width(), toPixels(widget_, checkedSize(v)));
}

void QtGutterCanvas::followEditor(const QtEditSurface* editor) {
  editor_ = editor;
  if (editor_ != nullptr)
    QObject::connect(editor_->widget(), &SurfaceView::linesInViewChanged, widget_,
                     [this] { widget_->update(); });
}

void QtGutterCanvas::setFontName(TextView face) { face_ = toQString(face); }

QFont QtGutterCanvas::font() const {
  // The editor lays its text out in its widget's font.
  QFont font = editor_ != nullptr ? editor_->widget()->font() : font_;
  if (!face_.isEmpty() && face_ != font.family()) font.setFamily(face_);
  return font;
}

int QtGutterCanvas::lineSpacing(const QFont& font) const {
  if (editor_ != nullptr && font == editor_->widget()->font()) return editor_->lineSpacing();
  return QFontMetrics(font, widget_).lineSpacing();
}

int QtGutterCanvas::rowOrigin() const {
  if (editor_ == nullptr) return 0;
  // The view scrolls by whole lines: its top row is the first visible line.
  const QWidget* area = editor_->widget()->viewport();
  return widget_->mapFromGlobal(area->mapToGlobal(QPoint(0, 0))).y();
}

void QtGutterCanvas::refresh() { widget_->update(); }

PixelRect QtGutterCanvas::clientRect() const { return {0, 0, widget_->width(), widget_->height()}; }

PixelRect QtGutterCanvas::measureText(TextView text) const {
  const QFont f = font();
  return {0, 0, QFontMetrics(f, widget_).horizontalAdvance(toQString(text)), lineSpacing(f)};
}

QImage& QtGutterCanvas::target() {
  const QSize size = widget_->size().expandedTo(QSize(1, 1));
  if (image_.size() != size) {
    image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    // Fonts take the widget's size in pixels on the image too.
    image_.setDotsPerMeterX(qRound(widget_->logicalDpiX() / 0.0254));
    image_.setDotsPerMeterY(qRound(widget_->logicalDpiY() / 0.0254));
    image_.fill(Qt::transparent);
    intact_ = false;
  }
  return image_;
}

void QtGutterCanvas::changed(const QRect& pixels) {
  if (!painting_) widget_->update(pixels);
}

bool QtGutterCanvas::keepsDrawing() const {
  return intact_ && image_.size() == widget_->size() && rowOrigin() == originAtFill_ &&
         font() == fontAtFill_;
}

const std::vector<GutterNumber>& QtGutterCanvas::lastNumbers() const {
  static const std::vector<GutterNumber> none;
  return paint_ ? paint_->numbers : none;
}

GutterPaintRecord& QtGutterCanvas::currentPaint() {
  if (!paint_) paint_.emplace();
  return *paint_;
}

// A fill of the whole gutter starts a new picture. A smaller fill clears a row drawn before:
// it is placed as the numbers are, and the numbers it covers leave the record.
void QtGutterCanvas::fillRect(const PixelRect& rect, int32_t color) {
  const PixelRect client = clientRect();
  PixelRect at = rect;
  if (rect.left <= 0 && rect.top <= 0 && rect.right >= client.right &&
      rect.bottom >= client.bottom) {
    paint_ = GutterPaintRecord{rect, color, {}, {}};
    intact_ = true;
    fontAtFill_ = font();
    originAtFill_ = rowOrigin();
  } else {
    const int origin = rowOrigin();
    at.top += origin;
    at.bottom += origin;
    std::vector<GutterNumber>& numbers = currentPaint().numbers;
    std::erase_if(numbers, [&](const GutterNumber& n) {
      return n.rect.top >= at.top && n.rect.top < at.bottom;
    });
  }
  QPainter painter(&target());
  painter.fillRect(toQRect(at), toQColor(color));
  changed(toQRect(at));
}

void QtGutterCanvas::drawText(const PixelRect& rect, TextView text, int32_t color,
                              uint32_t format) {
  // The control numbers rows from the top of the gutter; the editor's rows begin at the
  // top of its text area.
  PixelRect at = rect;
  const int origin = rowOrigin();
  at.top += origin;
  at.bottom += origin;
  std::vector<GutterNumber>& numbers = currentPaint().numbers;
  const auto below = std::find_if(numbers.begin(), numbers.end(),
                                  [&](const GutterNumber& n) { return n.rect.top > at.top; });
  numbers.insert(below, {at, Text(text), color});
  QPainter painter(&target());
  painter.setFont(font());
  painter.setPen(toQColor(color));
  const int align = Qt::AlignTop | ((format & kDtRight) != 0 ? Qt::AlignRight : Qt::AlignLeft);
  painter.drawText(toQRect(at), align | Qt::TextSingleLine, toQString(text));
  changed(toQRect(at));
}

void QtGutterCanvas::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) {
  currentPaint().lines.push_back({x1, y1, x2, y2, color});
  if (x1 == x2 && y1 == y2) return;
  QPainter painter(&target());
  painter.setPen(QPen(toQColor(color), 1));
  // The end point is excluded, as the platform's line drawing leaves it out.
  const int dx = (x2 > x1) - (x2 < x1);
  const int dy = (y2 > y1) - (y2 < y1);
  painter.drawLine(QPoint(x1, y1), QPoint(x2 - dx, y2 - dy));
  changed(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
}

void QtGutterCanvas::paint() {
  painting_ = true;
  if (paintHandler_) paintHandler_();
  painting_ = false;
}

QtFrameBox::QtFrameBox(QWidget* parent) : widget_(new QWidget(parent)) {
  widget_->setFocusPolicy(Qt::NoFocus);
}

int32_t QtFrameBox::width() const { return toTwips(widget_, widget_->width()); }

void QtFrameBox::setWidth(int32_t v) {
  widget_->resize(toPixels(widget_, checkedSize(v)), widget_->height());
}

int32_t QtFrameBox::height() const { return toTwips(widget_, widget_->height()); }

void QtFrameBox::setHeight(int32_t v) {
  widget_->resize(widget_->width(), toPixels(widget_, checkedSize(v)));
}

}  // namespace tavi::qt
