// The printer system of the Qt platform: the printers of the print system (CUPS where it
// runs) in QPrinterInfo's order with the default printer current, a PDF printer whose
// output is a file (the one printer when none is installed, and wherever the host asks for
// PDF output), the print dialog as a QPrintDialog that reads and writes the dialog's
// records, global memory for those records, and the yield to pending events. A test host
// may install a printer list of its own, script the next dialog's answer and record the
// output (printer_script.cpp); a host that never does sees the print system.
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

// A printer of a list the host installs. Its QPrinter writes PDF and has no file: a listed
// printer prints through a recorder (recordOutput).
struct ListedPrinter {
  Text name{};
  Text driver{};
  Text port{};
  PrinterSettings settings{};
};

// A scripted dialog answer: cancel, or the choices given, the rest as the records
// pre-select. A printer not in the list is named in the records with no driver nor port.
struct DialogScript {
  bool cancel = false;
  std::optional<Text> printer{};
  std::optional<int16_t> copies{}, orientation{}, duplex{}, paperSize{}, printQuality{};
};

// The records as the last dialog was given them; a device record is missing when its
// handle named no block.
struct GivenDialogRecords {
  PrintDlgRecord printDlg{};
  std::optional<DevModeRecord> devMode;
  std::optional<DevNamesRecord> devNames;
};

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

  // Replaces the print system's printers by these, `current` current (ignored when the list
  // is empty; std::out_of_range when it is no index), until reset. The dialog then offers
  // these only: unscripted, it confirms the pre-selection.
  void installPrinters(const std::vector<ListedPrinter>& printers, int32_t current);
  // The answer of the next dialog only, given in place of the person's.
  void scriptDialog(DialogScript answer) { nextDialog_ = std::move(answer); }
  const std::optional<GivenDialogRecords>& lastDialog() const { return lastDialog_; }
  // The current printer's output goes to `recorder` (null: to the printers again).
  void recordOutput(PrintRecorder* recorder) { printer_.recordTo(recorder); }

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
  // Keeps this system's QPrinters from outliving the application object.
  void releaseWithApplication() const;
  // The index of the printer a dialog starts from: the device the records name, else the
  // current one.
  int32_t preselected(std::span<const uint8_t, kPrintDlgSize> record);
  // A printer set up as the entry is, for a dialog to change.
  std::unique_ptr<QPrinter> copyOf(const QtInstalledPrinter& entry) const;
  // The list entry for what the person chose in the dialog.
  QtInstalledPrinter& chosenEntry(const QPrinter& chosen, int32_t preselected);
  // Confirms the scripted choices on `printer` (the pre-selected one, with the records'
  // settings): 1, with the records replaced; 0 when cancelled.
  // `duplex` is the two-sided setting kept beside a listed printer's QPrinter.
  int32_t answerScripted(std::span<uint8_t, kPrintDlgSize> record, const DialogScript& answer,
                         std::unique_ptr<QPrinter> printer, std::optional<int16_t> duplex,
                         int32_t preselected);
  // Replaces the record's blocks by new ones that hold the printer chosen and its settings.
  void hand(std::span<uint8_t, kPrintDlgSize> record, const QPrinter& settings,
            std::optional<int16_t> duplex, TextView name, TextView driver, TextView port);

  mutable std::vector<std::unique_ptr<QtInstalledPrinter>> printers_;
  mutable int32_t current_ = -1;
  mutable bool loaded_ = false;
  bool listed_ = false;  // the printers are a host's list
  QtPrinter printer_;
  BlockMemory memory_;
  DialogRunner runner_;
  std::optional<DialogScript> nextDialog_;
  std::optional<GivenDialogRecords> lastDialog_;
};

}  // namespace tavi::qt
