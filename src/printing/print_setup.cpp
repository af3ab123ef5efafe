#include "printing/print_setup.h"

#include <algorithm>
#include <optional>

#include "printing/page_layout.h"
#include "printing/print_records.h"
#include "printing/record_blocks.h"
#include "shell/control.h"
#include "shell/runtime_error.h"

namespace tavi {

namespace {

constexpr int kOutOfMemory = 7;

// The device-mode and device-names blocks that the dialog record names. Whatever it still
// names when printing is set up or abandoned is freed, on every path.
class DialogBlocks {
 public:
  DialogBlocks(GlobalMemory& memory, PrintDlgRecord& record) : memory_(memory), record_(record) {}
  ~DialogBlocks() {
    release(printdlg::kDevMode);
    release(printdlg::kDevNames);
  }
  DialogBlocks(const DialogBlocks&) = delete;
  DialogBlocks& operator=(const DialogBlocks&) = delete;

  // A new block holding `bytes`, named in the record at `field`.
  // Without a usable address the block stays zero-filled.
  void hand(size_t field, std::span<const uint8_t> bytes) {
    writeU32(record_, field, newRecordBlock(memory_, bytes));
  }

  // The device mode's bytes; its block is freed. A block that cannot be locked cannot be
  // read back, which ends the method like any other failure.
  DevModeRecord takeDevMode() {
    const std::optional<DevModeRecord> record =
        readRecordBlock<DevModeRecord>(memory_, readU32(record_, printdlg::kDevMode));
    if (!record) throw RuntimeError(kOutOfMemory, "Out of memory");
    release(printdlg::kDevMode);
    return *record;
  }

  // The device names are not used: the block is only locked, unlocked and freed.
  void dropDevNames() {
    const GlobalHandle handle = readU32(record_, printdlg::kDevNames);
    memory_.lock(handle);
    memory_.unlock(handle);
    release(printdlg::kDevNames);
  }

 private:
  void release(size_t field) {
    const GlobalHandle handle = readU32(record_, field);
    if (handle == 0) return;
    memory_.free(handle);
    writeU32(record_, field, 0);
  }

  GlobalMemory& memory_;
  PrintDlgRecord& record_;
};

// The returned device name up to its first NUL, upper-cased; a name without a NUL is an
// invalid call (5).
Text chosenPrinterName(const Text& deviceName) {
  const size_t nul = deviceName.find(u'\0');
  if (nul == Text::npos) throw RuntimeError(err::kInvalidCall);
  return upperCase(TextView(deviceName).substr(0, nul));
}

// Every installed printer whose upper-cased name is `chosen` is made current in list order,
// so the last match wins.
void selectPrinter(PrinterSystem& printers, const Text& chosen) {
  if (printers.current().deviceName() == chosen) return;
  for (int32_t i = 0; i < printers.printerCount(); ++i)
    if (upperCase(printers.printerDeviceName(i)) == chosen) printers.makeCurrent(i);
}

// Steps up to the first page; the number of passes, or nothing when the dialog was
// cancelled.
std::optional<int32_t> setUpPrinter(PrinterSystem& printers, int16_t printFlags) {
  PrintDlgRecord dialog = buildPrintDlg(printFlags);
  DialogBlocks blocks(printers.memory(), dialog);
  {
    const Printer& printer = printers.current();
    const Text device = printer.deviceName();
    const int16_t orientation = printer.orientation();
    const int16_t duplex = printer.duplex();
    blocks.hand(printdlg::kDevMode, buildDevMode(device, orientation, duplex));
    const Text driver = printer.driverName();
    const Text port = printer.port();
    blocks.hand(printdlg::kDevNames, buildDevNames(driver, printer.deviceName(), port));
  }
  if (printers.printDialog(dialog) == 0) return std::nullopt;

  blocks.dropDevNames();
  const DevModeChoice choice = readDevMode(blocks.takeDevMode());
  selectPrinter(printers, chosenPrinterName(choice.deviceName));
  printers.yieldToEvents();

  // Our printer layer has no further property that needs setting before the choices.
  Printer& printer = printers.current();
  printer.setCopies(choice.copies);
  printer.setDuplex(choice.duplex);
  printer.setOrientation(choice.orientation);
  printer.setPaperSize(choice.paperSize);
  printer.setPrintQuality(choice.printQuality);
  const int32_t passes = printer.copies();
  // The copies are printed as passes, one document each; the device prints each document
  // once, so that a device honouring its copy count does not multiply them.
  printer.setCopies(1);
  return passes;
}

}  // namespace

void PrinterSE(TaviColorText& control, int16_t printFlags) {
  try {
    // A platform without a printer system has no printer information to give.
    if (control.widgets().printers == nullptr) throw RuntimeError(err::kPrinterError);
    PrinterSystem& printers = *control.widgets().printers;
    if (const std::optional<int32_t> passes = setUpPrinter(printers, printFlags))
      PrintListing(printers.current(), *control.widgets().editor, *passes);
  } catch (const RuntimeError& error) {
    // Printing is abandoned where it failed; only missing printer information is reported.
    if (error.number() == err::kPrinterError)
      control.widgets().messages->show(control.m_strPrintErr, kStyleInformationOk,
                                       control.m_strScriptEditor);
  }
}

}  // namespace tavi
