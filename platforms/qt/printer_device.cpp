#include "qt/printer_device.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPen>
#include <QPrinter>

#include <cmath>

#include "qt/printer_settings.h"
#include "qt/units.h"
#include "shell/runtime_error.h"

namespace tavi::qt {

namespace {

constexpr double kTwipsPerPoint = 20;
constexpr double kTwipsPerInch = 1440;
constexpr double kDefaultFontSize = 10;
// Frame lines: half a point, thin on paper at any resolution.
constexpr double kLineWidth = 10;
// The printer rejected an operation (the runtime's "Printer error").
constexpr int kPrinterFailed = 482;

QColor fromColorRef(int32_t color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

}  // namespace

QtPrinter::QtPrinter()
    : typeface_(QFontDatabase::systemFont(QFontDatabase::FixedFont)), fontSize_(kDefaultFontSize) {}

QtPrinter::~QtPrinter() {
  if (painter_.isActive()) painter_.end();
}

void QtPrinter::endDocument() {
  if (painter_.isActive()) painter_.end();
  if (recording_) recorder_->endDocument();
  recording_ = false;
}

void QtPrinter::recordTo(PrintRecorder* recorder) {
  endDocument();
  recorder_ = recorder;
}

void QtPrinter::attach(QtInstalledPrinter* installed) {
  endDocument();
  installed_ = installed;
  fontSize_ = kDefaultFontSize;
  x_ = 0;
  y_ = 0;
}

QtInstalledPrinter& QtPrinter::installed() const {
  if (installed_ == nullptr || installed_->printer == nullptr)
    throw RuntimeError(err::kPrinterError);
  return *installed_;
}

Text QtPrinter::deviceName() const { return installed().name; }
Text QtPrinter::driverName() const { return installed().driver; }
Text QtPrinter::port() const { return installed().port; }

int16_t QtPrinter::orientation() const { return orientationCode(device()); }
void QtPrinter::setOrientation(int16_t v) { setOrientationCode(device(), v); }
int16_t QtPrinter::duplex() const { return installed().duplex.value_or(duplexCode(device())); }

void QtPrinter::setDuplex(int16_t v) {
  setDuplexCode(device(), v);
  if (installed().duplex) installed().duplex = v;
}

PrinterSettings QtPrinter::codes() const {
  PrinterSettings codes = codesOf(device());
  codes.duplex = duplex();
  return codes;
}
int16_t QtPrinter::copies() const { return static_cast<int16_t>(device().copyCount()); }
void QtPrinter::setCopies(int16_t v) { device().setCopyCount(v); }
int16_t QtPrinter::paperSize() const { return paperSizeCode(device()); }
void QtPrinter::setPaperSize(int16_t v) { setPaperSizeCode(device(), v); }
int16_t QtPrinter::printQuality() const { return printQualityCode(device()); }
void QtPrinter::setPrintQuality(int16_t v) { setPrintQualityCode(device(), v); }

double QtPrinter::pageWidth() const {
  if (recorder_ != nullptr) return recorder_->pageSize(codes()).width;
  return device().pageLayout().paintRect(QPageLayout::Point).width() * kTwipsPerPoint;
}

double QtPrinter::pageHeight() const {
  if (recorder_ != nullptr) return recorder_->pageSize(codes()).height;
  return device().pageLayout().paintRect(QPageLayout::Point).height() * kTwipsPerPoint;
}

double QtPrinter::fontSize() const {
  installed();
  return fontSize_;
}

void QtPrinter::setFontSize(double points) {
  installed();
  fontSize_ = points;
}

double QtPrinter::currentX() const {
  installed();
  return x_;
}

void QtPrinter::setCurrentX(double x) {
  installed();
  x_ = x;
}

double QtPrinter::currentY() const {
  installed();
  return y_;
}

void QtPrinter::setCurrentY(double y) {
  installed();
  y_ = y;
}

QFont QtPrinter::twipsFont() const {
  // One painter unit is one twip, so a font of N points is 20 N units high.
  QFont font = typeface_;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSize_ * kTwipsPerPoint))));
  return font;
}

double QtPrinter::textWidth(TextView text) const {
  if (recorder_ != nullptr) {
    installed();
    return recorder_->textWidth(text, fontSize_);
  }
  return QFontMetricsF(twipsFont(), &device()).horizontalAdvance(toQString(text));
}

double QtPrinter::textHeight(TextView text) const {
  if (recorder_ != nullptr) {
    installed();
    return recorder_->textHeight(text, fontSize_);
  }
  return QFontMetricsF(twipsFont(), &device()).height();
}

QPainter& QtPrinter::painter() {
  QPrinter& printer = device();
  if (painter_.isActive()) return painter_;
  if (!painter_.begin(&printer)) throw RuntimeError(kPrinterFailed, "Printer error");
  // The viewport is the printable area in device pixels; the window is the same area in
  // twips.
  const QRect pixels = painter_.viewport();
  const double twipsPerPixelX = kTwipsPerInch / printer.logicalDpiX();
  const double twipsPerPixelY = kTwipsPerInch / printer.logicalDpiY();
  painter_.setWindow(0, 0, static_cast<int>(std::lround(pixels.width() * twipsPerPixelX)),
                     static_cast<int>(std::lround(pixels.height() * twipsPerPixelY)));
  painter_.setRenderHint(QPainter::Antialiasing);
  return painter_;
}

PrintRecorder* QtPrinter::recordingDocument() {
  if (recorder_ == nullptr) return nullptr;
  const QtInstalledPrinter& printer = installed();
  if (!recording_) recorder_->beginDocument(printer.name, codes());
  recording_ = true;
  return recorder_;
}

void QtPrinter::line(double x1, double y1, double x2, double y2, int32_t color) {
  if (PrintRecorder* recorder = recordingDocument()) return recorder->line(x1, y1, x2, y2, color);
  QPainter& p = painter();
  p.setPen(QPen(fromColorRef(color), kLineWidth));
  p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtPrinter::print(TextView text) {
  if (PrintRecorder* recorder = recordingDocument()) {
    recorder->text(text, x_, y_, fontSize_);
    x_ = 0;
    y_ += recorder->textHeight(text, fontSize_);
    return;
  }
  QPainter& p = painter();
  const QFont font = twipsFont();
  p.setFont(font);
  p.setPen(Qt::black);
  // The print position is the top of the text line; the painter draws on the baseline.
  const QFontMetricsF metrics(font, &device());
  p.drawText(QPointF(x_, y_ + metrics.ascent()), toQString(text));
  x_ = 0;
  y_ += metrics.height();
}

void QtPrinter::newPage() {
  if (PrintRecorder* recorder = recordingDocument()) {
    recorder->newPage();
  } else {
    painter();
    if (!device().newPage()) throw RuntimeError(kPrinterFailed, "Printer error");
  }
  x_ = 0;
  y_ = 0;
}

void QtPrinter::endDoc() {
  installed();
  if (painter_.isActive() && !painter_.end()) throw RuntimeError(kPrinterFailed, "Printer error");
  if (recording_) recorder_->endDocument();
  recording_ = false;
  x_ = 0;
  y_ = 0;
}

}  // namespace tavi::qt
