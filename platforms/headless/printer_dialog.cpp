// The headless print dialog.
#include <algorithm>

#include "headless/printer_system.h"
#include "printing/record_blocks.h"

namespace tavi {

namespace {

// A device name holds at most 31 characters and its NUL.
constexpr size_t kDeviceNameChars = devmode::kDeviceNameLength - 1;
constexpr uint32_t kAllFields = devmode::kHasOrientation | devmode::kHasPaperSize |
                                devmode::kHasCopies | devmode::kHasPrintQuality |
                                devmode::kHasDuplex;

}  // namespace

int32_t HeadlessPrinterSystem::printDialog(std::span<uint8_t, kPrintDlgSize> record) {
  ++dialogCount_;
  lastDialog_ = capture(record);
  const DialogAnswer answer = nextAnswer_.value_or(DialogAnswer{});
  nextAnswer_.reset();
  if (readU32(record, printdlg::kStructSize) != kPrintDlgSize) return 0;
  if (printers_.empty() || answer.cancel) return 0;
  hand(record, chosen(*lastDialog_, answer.choices));
  return 1;
}

DialogRecords HeadlessPrinterSystem::capture(std::span<const uint8_t, kPrintDlgSize> record) {
  DialogRecords given;
  std::copy(record.begin(), record.end(), given.printDlg.begin());
  given.devMode = readRecordBlock<DevModeRecord>(memory_, readU32(record, printdlg::kDevMode));
  given.devNames = readRecordBlock<DevNamesRecord>(memory_, readU32(record, printdlg::kDevNames));
  return given;
}

InstalledPrinter HeadlessPrinterSystem::chosen(const DialogRecords& given,
                                               const DialogChoices& choices) const {
  auto installedNamed = [this](TextView name) -> const InstalledPrinter* {
    for (const InstalledPrinter& p : printers_)
      if (p.name == name) return &p;
    return nullptr;
  };
  // Pre-selected: the device the names record gives, else the current printer, with the
  // settings that the device mode holds values for.
  InstalledPrinter choice = printers_[static_cast<size_t>(current_)];
  if (given.devNames) {
    const Text device = readDevNamesEntry(*given.devNames, devnames::kDeviceOffset);
    if (const InstalledPrinter* named = installedNamed(device)) choice = *named;
  }
  if (given.devMode) {
    const uint32_t fields = readU32(*given.devMode, devmode::kFields);
    const DevModeChoice preset = readDevMode(*given.devMode);
    PrinterSettings& s = choice.settings;
    if ((fields & devmode::kHasOrientation) != 0) s.orientation = preset.orientation;
    if ((fields & devmode::kHasPaperSize) != 0) s.paperSize = preset.paperSize;
    if ((fields & devmode::kHasCopies) != 0) s.copies = preset.copies;
    if ((fields & devmode::kHasPrintQuality) != 0) s.printQuality = preset.printQuality;
    if ((fields & devmode::kHasDuplex) != 0) s.duplex = preset.duplex;
  }
  // The person's choices: another printer comes with its own settings.
  if (choices.printer && *choices.printer != choice.name) {
    const InstalledPrinter* named = installedNamed(*choices.printer);
    choice =
        named != nullptr ? *named : InstalledPrinter{*choices.printer, {}, {}, choice.settings};
  }
  PrinterSettings& s = choice.settings;
  s.copies = choices.copies.value_or(s.copies);
  s.orientation = choices.orientation.value_or(s.orientation);
  s.duplex = choices.duplex.value_or(s.duplex);
  s.paperSize = choices.paperSize.value_or(s.paperSize);
  s.printQuality = choices.printQuality.value_or(s.printQuality);
  return choice;
}

void HeadlessPrinterSystem::hand(std::span<uint8_t, kPrintDlgSize> record,
                                 const InstalledPrinter& choice) {
  DevModeRecord devMode{};
  writeAnsi(devMode, devmode::kDeviceName, TextView(choice.name).substr(0, kDeviceNameChars),
            devmode::kDeviceNameLength, 0);
  writeU16(devMode, devmode::kSize, kDevModeSize);
  writeU32(devMode, devmode::kFields, kAllFields);
  const PrinterSettings& s = choice.settings;
  writeU16(devMode, devmode::kOrientation, static_cast<uint16_t>(s.orientation));
  writeU16(devMode, devmode::kPaperSize, static_cast<uint16_t>(s.paperSize));
  writeU16(devMode, devmode::kCopies, static_cast<uint16_t>(s.copies));
  writeU16(devMode, devmode::kPrintQuality, static_cast<uint16_t>(s.printQuality));
  writeU16(devMode, devmode::kDuplex, static_cast<uint16_t>(s.duplex));
  const DevNamesRecord devNames = buildDevNames(choice.driver, choice.name, choice.port);
  for (size_t field : {printdlg::kDevMode, printdlg::kDevNames}) {
    if (const GlobalHandle old = readU32(record, field); old != 0) memory_.free(old);
  }
  writeU32(record, printdlg::kDevMode, newRecordBlock(memory_, devMode));
  writeU32(record, printdlg::kDevNames, newRecordBlock(memory_, devNames));
}

}  // namespace tavi
