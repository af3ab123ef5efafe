// A printer's settings as device-mode codes, and what a test host can put under a
// platform's printer in place of its device: a recorder that gives the page and the text
// measures the control lays out with and takes every drawing operation, in twips.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

// The defaults are a fresh printer's: portrait, simplex, one copy, letter paper, high
// quality (negative qualities are draft -1 to high -4, else dots per inch).
struct PrinterSettings {
  int16_t orientation = 1;
  int16_t duplex = 1;
  int16_t copies = 1;
  int16_t paperSize = 1;
  int16_t printQuality = -4;
  friend bool operator==(const PrinterSettings&, const PrinterSettings&) = default;
};

struct PageSize {
  double width = 0;
  double height = 0;
};

class PrintRecorder {
 public:
  virtual ~PrintRecorder() = default;
  // The printable page of a printer with these settings.
  virtual PageSize pageSize(const PrinterSettings& settings) = 0;
  virtual double textWidth(TextView text, double fontSize) = 0;
  virtual double textHeight(TextView text, double fontSize) = 0;
  // `printer` is the device name; `settings` are the printer's as the document begins.
  virtual void beginDocument(TextView printer, const PrinterSettings& settings) = 0;
  virtual void line(double x1, double y1, double x2, double y2, int32_t color) = 0;
  // The text with its top left corner at (x, y).
  virtual void text(TextView text, double x, double y, double fontSize) = 0;
  virtual void newPage() = 0;
  virtual void endDocument() = 0;
};

}  // namespace tavi
