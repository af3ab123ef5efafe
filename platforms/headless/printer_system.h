// The headless printer system: the installed printers (by default one, "Headless Printer",
// current), the current printer object, global memory, and a print dialog that a test or
// a scenario scripts. A dialog that nobody scripted is confirmed at once with the printer
// and settings that its records pre-select (the current printer and its settings), as a
// person pressing OK would. The records given to the last dialog are kept for inspection.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "headless/printer_device.h"
#include "printing/block_memory.h"
#include "printing/print_records.h"
#include "shell/widgets/printer.h"

namespace tavi {

// The choices of a confirmed dialog; what is not given stays as the dialog pre-selects it.
struct DialogChoices {
  std::optional<Text> printer;
  std::optional<int16_t> copies;
  std::optional<int16_t> orientation;
  std::optional<int16_t> duplex;
  std::optional<int16_t> paperSize;
  std::optional<int16_t> printQuality;
};

struct DialogAnswer {
  bool cancel = false;
  DialogChoices choices;
};

// The records as a dialog was given them; a device record is missing when its handle
// named no block.
struct DialogRecords {
  PrintDlgRecord printDlg{};
  std::optional<DevModeRecord> devMode;
  std::optional<DevNamesRecord> devNames;
};

class HeadlessPrinterSystem final : public PrinterSystem {
 public:
  HeadlessPrinterSystem();
  HeadlessPrinterSystem(const HeadlessPrinterSystem&) = delete;
  HeadlessPrinterSystem& operator=(const HeadlessPrinterSystem&) = delete;

  // Installs these printers with their settings; `current` indexes them and is ignored
  // when the list is empty. Throws std::out_of_range for a bad index.
  void setPrinters(std::vector<InstalledPrinter> printers, int32_t current);
  const std::vector<InstalledPrinter>& printers() const { return printers_; }
  // -1 when no printer is installed.
  int32_t currentIndex() const { return current_; }

  // The answer of the next dialog only.
  void scriptDialog(DialogAnswer answer) { nextAnswer_ = std::move(answer); }
  const std::optional<DialogRecords>& lastDialog() const { return lastDialog_; }
  int dialogCount() const { return dialogCount_; }
  int yieldCount() const { return yields_; }

  HeadlessPrinter& printer() { return printer_; }
  BlockMemory& blocks() { return memory_; }

  Printer& current() override { return printer_; }
  int32_t printerCount() const override;
  Text printerDeviceName(int32_t index) const override;
  void makeCurrent(int32_t index) override;
  GlobalMemory& memory() override { return memory_; }
  int32_t printDialog(std::span<uint8_t, kPrintDlgSize> record) override;
  void yieldToEvents() override { ++yields_; }

 private:
  const InstalledPrinter& installed(int32_t index) const;
  DialogRecords capture(std::span<const uint8_t, kPrintDlgSize> record);
  // The printer and settings the records pre-select, with the answer's choices applied.
  InstalledPrinter chosen(const DialogRecords& given, const DialogChoices& choices) const;
  // Replaces the record's blocks by new ones that hold the choice.
  void hand(std::span<uint8_t, kPrintDlgSize> record, const InstalledPrinter& choice);

  std::vector<InstalledPrinter> printers_;
  int32_t current_ = -1;
  HeadlessPrinter printer_;
  BlockMemory memory_;
  std::optional<DialogAnswer> nextAnswer_;
  std::optional<DialogRecords> lastDialog_;
  int dialogCount_ = 0;
  int yields_ = 0;
};

}  // namespace tavi
