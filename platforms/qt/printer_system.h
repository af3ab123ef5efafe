// The printer system of the Qt platform: the printers of the print system (CUPS where it
// runs) in QPrinterInfo's order with the default printer current, a PDF printer whose
// output is a file (the one printer when none is installed, and wherever the host asks for
// PDF output), the print dialog as a QPrintDialog that reads and writes the dialog's
// records, global memory for those records, and the yield to pending events.
#pragma once

#include <QAbstractPrintDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "printing/block_memory.h"
#include "printing/print_records.h"
#include "qt/printer_device.h"
#include "shell/widgets/printer.h"

class QPrinter;

namespace tavi::qt {

inline constexpr char16_t kPdfPrinterName[] = u"Print to PDF";

// The device-mode fields that a record holds values for, applied to a printer.
void applyDevMode(QPrinter& printer, std::span<const uint8_t, kDevModeSize> record);
// The printer's settings as a dialog returns them: every field present, the device name
// cut to 31 characters and ended by a NUL.
DevModeRecord devModeOf(const QPrinter& printer, TextView deviceName);

class QtPrinterSystem final : public PrinterSystem {
 public:
  // Shows the dialog on `printer`, set up as the records pre-select; true when confirmed.
  // The dialog may change the printer, its settings and its output.
  using DialogRunner =
      std::function<bool(QPrinter& printer, QAbstractPrintDialog::PrintDialogOptions options)>;

  QtPrinterSystem();
  ~QtPrinterSystem() override;
  QtPrinterSystem(const QtPrinterSystem&) = delete;
  QtPrinterSystem& operator=(const QtPrinterSystem&) = delete;

  // The PDF printer, writing to `outputFile`, becomes current; it joins the list if it is
  // not in it.
  void usePdfPrinter(const QString& outputFile);
  // Replaces the QPrintDialog (null restores it). confirmAtOnce accepts the pre-selected
  // printer and settings, for runs without a person.
  void setDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }
  static bool confirmAtOnce(QPrinter&, QAbstractPrintDialog::PrintDialogOptions) { return true; }

  // The current printer's place in the list (-1 before the list is read).
  int32_t currentIndex() const { return current_; }
  QtPrinter& printer() { return printer_; }
  BlockMemory& blocks() { return memory_; }
  // Forgets the printers; the list is read anew when next asked for. The QPrinters go
  // before the application object that their print engines need.
  void reset();

  Printer& current() override;
  int32_t printerCount() const override;
  Text printerDeviceName(int32_t index) const override;
  void makeCurrent(int32_t index) override;
  GlobalMemory& memory() override { return memory_; }
  int32_t printDialog(std::span<uint8_t, kPrintDlgSize> record) override;
  void yieldToEvents() override;

 private:
  // Reads the printer list on first use.
  void load() const;
  QtInstalledPrinter& entry(int32_t index) const;
  // Index of the printer with this name: exact, else ignoring case; -1 when none.
  int32_t find(TextView name) const;
  int32_t pdfIndex() const;
  QtInstalledPrinter& pdfPrinter() const;
  // The printer a dialog starts from: the device the records name, else the current one,
  // with the device mode's settings applied.
  std::unique_ptr<QPrinter> dialogPrinter(std::span<const uint8_t, kPrintDlgSize> record);
  // The list entry for what the person chose in the dialog.
  QtInstalledPrinter& chosenEntry(const QPrinter& chosen);

  mutable std::vector<std::unique_ptr<QtInstalledPrinter>> printers_;
  mutable int32_t current_ = -1;
  mutable bool loaded_ = false;
  QtPrinter printer_;
  BlockMemory memory_;
  DialogRunner runner_;
};

}  // namespace tavi::qt
