#include "qt/printer_settings.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <array>

namespace tavi::qt {

namespace {

// Resolutions of the quality codes -1 to -4.
constexpr std::array<int, 4> kQualityDpi = {150, 300, 600, 1200};

}  // namespace

int16_t orientationCode(const QPrinter& printer) {
  return printer.pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

void setOrientationCode(QPrinter& printer, int16_t code) {
  if (code == kPortrait) printer.setPageOrientation(QPageLayout::Portrait);
  if (code == kLandscape) printer.setPageOrientation(QPageLayout::Landscape);
}

int16_t duplexCode(const QPrinter& printer) {
  switch (printer.duplex()) {
    case QPrinter::DuplexNone:
      return kSimplex;
    case QPrinter::DuplexShortSide:
      return kDuplexShortEdge;
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
      return kDuplexLongEdge;
  }
  return kSimplex;
}

void setDuplexCode(QPrinter& printer, int16_t code) {
  if (code == kSimplex) printer.setDuplex(QPrinter::DuplexNone);
  if (code == kDuplexLongEdge) printer.setDuplex(QPrinter::DuplexLongSide);
  if (code == kDuplexShortEdge) printer.setDuplex(QPrinter::DuplexShortSide);
}

int16_t paperSizeCode(const QPrinter& printer) {
  return static_cast<int16_t>(printer.pageLayout().pageSize().windowsId());
}

void setPaperSizeCode(QPrinter& printer, int16_t code) {
  if (code <= 0) return;
  const QPageSize::PageSizeId id = QPageSize::id(code);
  // Unknown numbers map to Qt's custom size, which has no dimensions to set.
  if (id != QPageSize::Custom) printer.setPageSize(QPageSize(id));
}

int16_t printQualityCode(const QPrinter& printer) {
  const int dpi = printer.resolution();
  for (size_t i = 0; i < kQualityDpi.size(); ++i)
    if (kQualityDpi[i] == dpi) return static_cast<int16_t>(-1 - static_cast<int>(i));
  return static_cast<int16_t>(dpi);
}

void setPrintQualityCode(QPrinter& printer, int16_t code) {
  if (code > 0) printer.setResolution(code);
  if (code <= kQualityDraft && code >= kQualityHigh)
    printer.setResolution(kQualityDpi[static_cast<size_t>(-1 - code)]);
}

PrinterSettings codesOf(const QPrinter& printer) {
  return {orientationCode(printer), duplexCode(printer), static_cast<int16_t>(printer.copyCount()),
          paperSizeCode(printer), printQualityCode(printer)};
}

void applyCodes(QPrinter& printer, const PrinterSettings& codes) {
  setPaperSizeCode(printer, codes.paperSize);
  setOrientationCode(printer, codes.orientation);
  setDuplexCode(printer, codes.duplex);
  if (codes.copies > 0) printer.setCopyCount(codes.copies);
  setPrintQualityCode(printer, codes.printQuality);
}

}  // namespace tavi::qt
