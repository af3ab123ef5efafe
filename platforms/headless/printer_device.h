// The headless printer: the current printer object with the settings of the installed
// printer it stands for, fixed page and font metrics, and a spool that records every
// document with its pages of drawing operations. Coordinates are kept in single precision,
// as a printer object keeps them.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "shell/widgets/print_recorder.h"
#include "shell/widgets/printer.h"

namespace tavi {

namespace headless {
// A letter-size sheet; landscape swaps the two.
inline constexpr double kPageWidth = 12240;
inline constexpr double kPageHeight = 15840;
inline constexpr int16_t kLandscape = 2;
// The sheet a job with these settings prints on, twips.
inline PageSize pageSizeOf(const PrinterSettings& settings) {
  if (settings.orientation == kLandscape) return {kPageHeight, kPageWidth};
  return {kPageWidth, kPageHeight};
}
// At font size S a character is round(12 S) twips wide and a line round(24 S) high.
inline constexpr double kCharWidthPerPoint = 12;
inline constexpr double kLineHeightPerPoint = 24;
inline constexpr float kDefaultFontSize = 10;
}  // namespace headless

struct InstalledPrinter {
  Text name;
  Text driver;
  Text port;
  PrinterSettings settings;
};

struct PrintedLine {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int32_t color = 0;
};

struct PrintedText {
  Text text;
  float x = 0, y = 0;
  float fontSize = 0;
};

using PrintOperation = std::variant<PrintedLine, PrintedText>;
using PrintedPage = std::vector<PrintOperation>;

struct PrintedDocument {
  Text printer;              // device name
  PrinterSettings settings;  // when the document was opened
  std::vector<PrintedPage> pages;
  bool ended = false;  // false while the document is still open
};

class HeadlessPrinter final : public Printer {
 public:
  // The installed printer this object now stands for (null: none installed). The font size
  // and the print position start afresh; an open document stays open.
  void attach(InstalledPrinter* installed);

  // The documents ended since the last drain, then the open one (which stays open).
  std::vector<PrintedDocument> drainDocuments();
  // Every document ended so far, drained or not, and the last of them.
  int endedCount() const { return endedCount_; }
  const std::optional<PrintedDocument>& lastEnded() const { return lastEnded_; }

  Text deviceName() const override;
  Text driverName() const override;
  Text port() const override;
  int16_t orientation() const override;
  void setOrientation(int16_t v) override;
  int16_t duplex() const override;
  void setDuplex(int16_t v) override;
  int16_t copies() const override;
  void setCopies(int16_t v) override;
  int16_t paperSize() const override;
  void setPaperSize(int16_t v) override;
  int16_t printQuality() const override;
  void setPrintQuality(int16_t v) override;
  double pageWidth() const override;
  double pageHeight() const override;
  double fontSize() const override;
  void setFontSize(double points) override;
  double currentX() const override;
  void setCurrentX(double x) override;
  double currentY() const override;
  void setCurrentY(double y) override;
  double textWidth(TextView text) const override;
  double textHeight(TextView text) const override;
  void line(double x1, double y1, double x2, double y2, int32_t color) override;
  void print(TextView text) override;
  void newPage() override;
  void endDoc() override;

 private:
  // The installed printer, or RuntimeError 484 when there is none.
  InstalledPrinter& installed() const;
  bool landscape() const { return installed().settings.orientation == headless::kLandscape; }
  // The page being printed, opening a document when none is open.
  PrintedPage& page();

  InstalledPrinter* installed_ = nullptr;
  float fontSize_ = headless::kDefaultFontSize;
  float x_ = 0;
  float y_ = 0;
  std::vector<PrintedDocument> ended_;
  std::optional<PrintedDocument> open_;
  int endedCount_ = 0;
  std::optional<PrintedDocument> lastEnded_;
};

// A recording printer for a platform's printer: the headless printer's page, text measures
// and record of documents, so that the control lays out the same pages on every platform.
// The settings it records are those the platform's printer hands it.
class RecordingPrinter final : public PrintRecorder {
 public:
  RecordingPrinter() { printer_.attach(&device_); }
  std::vector<PrintedDocument> drainDocuments() { return printer_.drainDocuments(); }

  PageSize pageSize(const PrinterSettings& settings) override;
  double textWidth(TextView text, double fontSize) override;
  double textHeight(TextView text, double fontSize) override;
  void beginDocument(TextView printer, const PrinterSettings& settings) override;
  void line(double x1, double y1, double x2, double y2, int32_t color) override;
  void text(TextView text, double x, double y, double fontSize) override;
  void newPage() override { printer_.newPage(); }
  void endDocument() override { printer_.endDoc(); }

 private:
  InstalledPrinter device_;
  HeadlessPrinter printer_;
};

}  // namespace tavi
