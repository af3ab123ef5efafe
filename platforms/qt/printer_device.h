// The current printer on the Qt platform: a QPrinter (an installed printer or a PDF file)
// with the settings of the device-mode codes, and output through a QPainter whose
// coordinates are twips. The page is the printer's printable area; the typeface is the
// system's fixed-pitch font, so that listings keep their columns. A host may make the
// printer a recording one: its settings still live on the QPrinter, but the page, the text
// measures and the output are a PrintRecorder's.
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

#include <memory>
#include <optional>

#include "qt/printer_settings.h"
#include "shell/widgets/printer.h"

class QPrinter;

namespace tavi::qt {

// One entry of the printer list: a printer of the print system, or the PDF printer whose
// output is a file.
struct QtInstalledPrinter {
  Text name;
  Text driver;
  Text port;
  bool pdf = false;
  std::unique_ptr<QPrinter> printer;
  // The two-sided setting of a listed printer (a host's): its QPrinter writes PDF, which
  // has one side to a sheet, so the code is kept here. None: the QPrinter's.
  std::optional<int16_t> duplex;
};

class QtPrinter final : public Printer {
 public:
  QtPrinter();
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  // The printer this object now stands for (null: none). An open document is ended first;
  // the font size and the print position start afresh.
  void attach(QtInstalledPrinter* installed);
  QPrinter* qprinter() const { return installed_ != nullptr ? installed_->printer.get() : nullptr; }
  bool documentOpen() const { return painter_.isActive() || recording_; }
  // Output goes to `recorder` instead of the QPrinter's device (null: to the device again).
  // An open document is ended first.
  void recordTo(PrintRecorder* recorder);

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
  QtInstalledPrinter& installed() const;
  QPrinter& device() const { return *installed().printer; }
  // The printer's settings, as a document records them.
  PrinterSettings codes() const;
  // The painter of the open document, opening one when none is open.
  QPainter& painter();
  // With a recorder: the recorder, its document begun when none is open.
  PrintRecorder* recordingDocument();
  void endDocument();
  // The typeface at the font size, sized in twips for the painter's coordinates.
  QFont twipsFont() const;

  QtInstalledPrinter* installed_ = nullptr;
  QFont typeface_;
  double fontSize_;
  double x_ = 0;
  double y_ = 0;
  QPainter painter_;
  PrintRecorder* recorder_ = nullptr;
  bool recording_ = false;  // a recorded document is open
};

}  // namespace tavi::qt
