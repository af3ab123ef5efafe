#include "headless/printer_device.h"

#include <utility>

#include "shell/runtime_error.h"
#include "shell/variant.h"

namespace tavi {

using namespace headless;

void HeadlessPrinter::attach(InstalledPrinter* installed) {
  installed_ = installed;
  fontSize_ = kDefaultFontSize;
  x_ = 0;
  y_ = 0;
}

std::vector<PrintedDocument> HeadlessPrinter::drainDocuments() {
  std::vector<PrintedDocument> documents = std::exchange(ended_, {});
  if (open_) documents.push_back(*open_);
  return documents;
}

InstalledPrinter& HeadlessPrinter::installed() const {
  if (installed_ == nullptr) throw RuntimeError(err::kPrinterError);
  return *installed_;
}

Text HeadlessPrinter::deviceName() const { return installed().name; }
Text HeadlessPrinter::driverName() const { return installed().driver; }
Text HeadlessPrinter::port() const { return installed().port; }

int16_t HeadlessPrinter::orientation() const { return installed().settings.orientation; }
void HeadlessPrinter::setOrientation(int16_t v) { installed().settings.orientation = v; }
int16_t HeadlessPrinter::duplex() const { return installed().settings.duplex; }
void HeadlessPrinter::setDuplex(int16_t v) { installed().settings.duplex = v; }
int16_t HeadlessPrinter::copies() const { return installed().settings.copies; }
void HeadlessPrinter::setCopies(int16_t v) { installed().settings.copies = v; }
int16_t HeadlessPrinter::paperSize() const { return installed().settings.paperSize; }
void HeadlessPrinter::setPaperSize(int16_t v) { installed().settings.paperSize = v; }
int16_t HeadlessPrinter::printQuality() const { return installed().settings.printQuality; }
void HeadlessPrinter::setPrintQuality(int16_t v) { installed().settings.printQuality = v; }

double HeadlessPrinter::pageWidth() const { return pageSizeOf(installed().settings).width; }
double HeadlessPrinter::pageHeight() const { return pageSizeOf(installed().settings).height; }

double HeadlessPrinter::fontSize() const {
  installed();
  return fontSize_;
}

void HeadlessPrinter::setFontSize(double points) {
  installed();
  fontSize_ = static_cast<float>(points);
}

double HeadlessPrinter::currentX() const {
  installed();
  return x_;
}

void HeadlessPrinter::setCurrentX(double x) {
  installed();
  x_ = static_cast<float>(x);
}

double HeadlessPrinter::currentY() const {
  installed();
  return y_;
}

void HeadlessPrinter::setCurrentY(double y) {
  installed();
  y_ = static_cast<float>(y);
}

double HeadlessPrinter::textWidth(TextView text) const {
  installed();
  return static_cast<double>(text.size()) * roundToI4(kCharWidthPerPoint * fontSize_);
}

double HeadlessPrinter::textHeight(TextView) const {
  installed();
  return roundToI4(kLineHeightPerPoint * fontSize_);
}

PrintedPage& HeadlessPrinter::page() {
  const InstalledPrinter& printer = installed();
  if (!open_) open_ = PrintedDocument{printer.name, printer.settings, {PrintedPage()}, false};
  return open_->pages.back();
}

void HeadlessPrinter::line(double x1, double y1, double x2, double y2, int32_t color) {
  page().push_back(PrintedLine{static_cast<float>(x1), static_cast<float>(y1),
                               static_cast<float>(x2), static_cast<float>(y2), color});
}

void HeadlessPrinter::print(TextView text) {
  page().push_back(PrintedText{Text(text), x_, y_, fontSize_});
  x_ = 0;
  y_ += static_cast<float>(textHeight(text));
}

void HeadlessPrinter::newPage() {
  page();
  open_->pages.emplace_back();
  x_ = 0;
  y_ = 0;
}

void HeadlessPrinter::endDoc() {
  installed();
  if (open_) {
    open_->ended = true;
    ++endedCount_;
    lastEnded_ = *open_;
    ended_.push_back(std::move(*open_));
    open_.reset();
  }
  x_ = 0;
  y_ = 0;
}

PageSize RecordingPrinter::pageSize(const PrinterSettings& settings) {
  device_.settings = settings;
  return {printer_.pageWidth(), printer_.pageHeight()};
}

double RecordingPrinter::textWidth(TextView text, double fontSize) {
  printer_.setFontSize(fontSize);
  return printer_.textWidth(text);
}

double RecordingPrinter::textHeight(TextView text, double fontSize) {
  printer_.setFontSize(fontSize);
  return printer_.textHeight(text);
}

void RecordingPrinter::beginDocument(TextView printer, const PrinterSettings& settings) {
  device_.name = Text(printer);
  device_.settings = settings;
}

void RecordingPrinter::line(double x1, double y1, double x2, double y2, int32_t color) {
  printer_.line(x1, y1, x2, y2, color);
}

void RecordingPrinter::text(TextView text, double x, double y, double fontSize) {
  printer_.setFontSize(fontSize);
  printer_.setCurrentX(x);
  printer_.setCurrentY(y);
  printer_.print(text);
}

}  // namespace tavi
