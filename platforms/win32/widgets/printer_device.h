// The current printer on Windows: the settings of an installed printer, kept in a DEVMODEW
// of that printer, and output in twips onto pages that a page target supplies (a GDI
// printer device context; tests use enhanced metafiles). Output opens a document when none
// is open; endDoc sends it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/widgets/print_recorder.h"
#include "shell/widgets/printer.h"
#include "win32/widgets/twips_canvas.h"

namespace tavi::win32 {

// One installed printer and its settings.
struct PrinterEntry {
  std::wstring name;
  std::wstring driver;
  std::wstring port;
  // The printer's DEVMODEW with its driver-private part; empty until first needed, then
  // the user's defaults as the driver gives them.
  std::vector<BYTE> devMode;
};

// The printer's DEVMODEW, read from its driver when the entry has none yet. Fails with
// RuntimeError 484 when the driver gives none.
DEVMODEW& devModeOf(PrinterEntry& entry);

// The settings a device mode gives, each field the mode leaves out at its usual value.
PrinterSettings settingsOf(const DEVMODEW& mode);

// Where a printer's pages go: it opens a document with its first page and keeps track of
// the open document and page; a subclass supplies the contexts.
class PageTarget {
 public:
  virtual ~PageTarget() = default;
  // The drawable area of a page, in twips.
  virtual PageSize pageSize() = 0;
  // A context that measures text as the pages will print it.
  virtual HDC measuringContext() = 0;
  // The printer's settings changed while a document is open: they apply from the next page.
  virtual void settingsChanged(const DEVMODEW& /*mode*/) {}

  // The context of the open page, opening the document and a page when none is open.
  HDC page();
  // Ends the open page, if any.
  void endPage();
  // Ends the open page and the open document, if any.
  void endDocument();
  bool documentOpen() const { return documentOpen_; }

 protected:
  virtual void beginDocument() = 0;
  virtual HDC beginPage() = 0;
  virtual void finishPage() = 0;
  virtual void finishDocument() = 0;

 private:
  bool documentOpen_ = false;
  HDC page_ = nullptr;
};

// Makes the target of a printer with its current settings.
using PageTargetFactory =
    std::function<std::unique_ptr<PageTarget>(const PrinterEntry& printer, const DEVMODEW& mode)>;

// The real target: a GDI printer device context of the printer (CreateDCW with its
// DEVMODEW). Documents go to the printer's port, or to `outputFile` when one is given.
// Fails with RuntimeError 484 when the context cannot be had.
std::unique_ptr<PageTarget> printerContext(const PrinterEntry& printer, const DEVMODEW& mode,
                                           const std::wstring& outputFile = {});

class Win32Printer final : public Printer {
 public:
  // `factory` makes the page targets; without one, pages go to the printer's device context.
  explicit Win32Printer(PageTargetFactory factory = {});
  ~Win32Printer() override;
  Win32Printer(const Win32Printer&) = delete;
  Win32Printer& operator=(const Win32Printer&) = delete;

  // The installed printer this object now stands for (null: none). An open document is
  // ended first; the font size and the print position start afresh.
  void attach(PrinterEntry* printer);
  // Documents go to this file instead of the printer's port (empty: the port).
  void setOutputFile(std::wstring file);
  // Output goes to `recorder` instead of the printer's device (null: to the device again).
  // An open document is ended first.
  void recordTo(PrintRecorder* recorder);
  bool documentOpen() const {
    return recording_ || (target_ != nullptr && target_->documentOpen());
  }

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
  PrinterEntry& installed() const;
  DEVMODEW& mode() const { return devModeOf(installed()); }
  int16_t setting(DWORD field) const;
  void changeSetting(DWORD field, int16_t value);
  PageTarget& target() const;
  const TwipsFont& font() const;
  // Ends an open document, for a printer that is let go.
  void release() noexcept;
  // The recorder with a document open on it (opening one when none is), or null when
  // output goes to the device.
  PrintRecorder* recordingDocument();

  PageTargetFactory factory_;
  std::wstring outputFile_;
  PrintRecorder* recorder_ = nullptr;
  bool recording_ = false;  // a document is open on the recorder
  PrinterEntry* installed_ = nullptr;
  mutable std::unique_ptr<PageTarget> target_;
  mutable std::unique_ptr<TwipsFont> font_;
  double fontSize_;
  double x_ = 0;
  double y_ = 0;
};

}  // namespace tavi::win32
