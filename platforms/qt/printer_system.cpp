#include "qt/printer_system.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

#include <algorithm>
#include <utility>
#include <vector>

#include "printing/record_blocks.h"
#include "qt/printer_settings.h"
#include "qt/units.h"
#include "shell/runtime_error.h"

namespace tavi::qt {

namespace {

constexpr char16_t kPrintSystemDriver[] = u"CUPS";
constexpr char16_t kPdfDriver[] = u"PDF";
constexpr char16_t kPdfPort[] = u"FILE:";
// A returned device name holds at most 31 characters and its NUL.
constexpr size_t kDeviceNameChars = devmode::kDeviceNameLength - 1;
constexpr uint32_t kAllFields = devmode::kHasOrientation | devmode::kHasPaperSize |
                                devmode::kHasCopies | devmode::kHasPrintQuality |
                                devmode::kHasDuplex;

// The GUI thread's systems holding QPrinters: those go when the application object does.
std::vector<QtPrinterSystem*> guiThreadSystems;

void releaseGuiThreadPrinters() {
  for (QtPrinterSystem* system : std::exchange(guiThreadSystems, {})) system->reset();
}

// The device name of a device mode: up to its NUL, without the blanks that pad it.
Text devModeDeviceName(const DevModeRecord& record) {
  Text name = readAnsi(record, devmode::kDeviceName, devmode::kDeviceNameLength);
  name = name.substr(0, name.find(u'\0'));
  while (!name.empty() && name.back() == u' ') name.pop_back();
  return name;
}

bool showPrintDialog(QPrinter& printer, QAbstractPrintDialog::PrintDialogOptions options) {
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  dialog.setOptions(options);
  return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<QtInstalledPrinter> systemPrinter(const QPrinterInfo& info) {
  auto entry = std::make_unique<QtInstalledPrinter>();
  entry->name = toText(info.printerName());
  entry->driver = kPrintSystemDriver;
  entry->port = toText(info.location());
  entry->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  return entry;
}

std::unique_ptr<QtInstalledPrinter> pdfEntry() {
  auto entry = std::make_unique<QtInstalledPrinter>();
  entry->name = kPdfPrinterName;
  entry->driver = kPdfDriver;
  entry->port = kPdfPort;
  entry->pdf = true;
  entry->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  entry->printer->setOutputFormat(QPrinter::PdfFormat);
  return entry;
}

}  // namespace

void applyDevMode(QPrinter& printer, std::span<const uint8_t, kDevModeSize> record) {
  const uint32_t fields = readU32(record, devmode::kFields);
  const auto value = [&](size_t offset) { return static_cast<int16_t>(readU16(record, offset)); };
  if ((fields & devmode::kHasOrientation) != 0)
    setOrientationCode(printer, value(devmode::kOrientation));
  if ((fields & devmode::kHasPaperSize) != 0) setPaperSizeCode(printer, value(devmode::kPaperSize));
  if ((fields & devmode::kHasCopies) != 0 && value(devmode::kCopies) > 0)
    printer.setCopyCount(value(devmode::kCopies));
  if ((fields & devmode::kHasPrintQuality) != 0)
    setPrintQualityCode(printer, value(devmode::kPrintQuality));
  if ((fields & devmode::kHasDuplex) != 0) setDuplexCode(printer, value(devmode::kDuplex));
}

DevModeRecord devModeOf(const QPrinter& printer, TextView deviceName) {
  DevModeRecord record{};
  writeAnsi(record, devmode::kDeviceName, deviceName.substr(0, kDeviceNameChars),
            devmode::kDeviceNameLength, 0);
  writeU16(record, devmode::kSize, kDevModeSize);
  writeU32(record, devmode::kFields, kAllFields);
  const auto put = [&](size_t offset, int value) {
    writeU16(record, offset, static_cast<uint16_t>(value));
  };
  put(devmode::kOrientation, orientationCode(printer));
  put(devmode::kPaperSize, paperSizeCode(printer));
  put(devmode::kCopies, printer.copyCount());
  put(devmode::kPrintQuality, printQualityCode(printer));
  put(devmode::kDuplex, duplexCode(printer));
  return record;
}

QtPrinterSystem::QtPrinterSystem() = default;

QtPrinterSystem::~QtPrinterSystem() { std::erase(guiThreadSystems, this); }

void QtPrinterSystem::reset() {
  printer_.attach(nullptr);
  printers_.clear();
  current_ = -1;
  loaded_ = false;
  listed_ = false;
}

void QtPrinterSystem::releaseWithApplication() const {
  auto* self = const_cast<QtPrinterSystem*>(this);
  const QCoreApplication* app = QCoreApplication::instance();
  if (app != nullptr && app->thread() == QThread::currentThread()) {
    if (guiThreadSystems.empty()) qAddPostRoutine(&releaseGuiThreadPrinters);
    if (std::ranges::find(guiThreadSystems, self) == guiThreadSystems.end())
      guiThreadSystems.push_back(self);
  }
}

void QtPrinterSystem::load() const {
  if (loaded_) return;
  loaded_ = true;
  auto* self = const_cast<QtPrinterSystem*>(this);
  releaseWithApplication();
  const QString defaultName = QPrinterInfo::defaultPrinterName();
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    if (info.printerName() == defaultName) current_ = static_cast<int32_t>(printers_.size());
    printers_.push_back(systemPrinter(info));
  }
  // Without a printer the person can still print, to a file.
  if (printers_.empty()) printers_.push_back(pdfEntry());
  if (current_ < 0) current_ = 0;
  self->printer_.attach(printers_[static_cast<size_t>(current_)].get());
}

QtInstalledPrinter& QtPrinterSystem::entry(int32_t index) const {
  load();
  if (index < 0 || index >= static_cast<int32_t>(printers_.size()))
    throw RuntimeError(err::kSubscript);
  return *printers_[static_cast<size_t>(index)];
}

int32_t QtPrinterSystem::find(TextView name) const {
  load();
  const QString wanted = toQString(name);
  for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
    for (size_t i = 0; i < printers_.size(); ++i)
      if (toQString(printers_[i]->name).compare(wanted, cs) == 0) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t QtPrinterSystem::pdfIndex() const {
  load();
  for (size_t i = 0; i < printers_.size(); ++i)
    if (printers_[i]->pdf) return static_cast<int32_t>(i);
  return -1;
}

QtInstalledPrinter& QtPrinterSystem::pdfPrinter() const {
  if (pdfIndex() < 0) printers_.push_back(pdfEntry());
  return entry(pdfIndex());
}

void QtPrinterSystem::usePdfPrinter(const QString& outputFile) {
  pdfPrinter().printer->setOutputFileName(outputFile);
  makeCurrent(pdfIndex());
}

Printer& QtPrinterSystem::current() {
  load();
  return printer_;
}

int32_t QtPrinterSystem::printerCount() const {
  load();
  return static_cast<int32_t>(printers_.size());
}

Text QtPrinterSystem::printerDeviceName(int32_t index) const { return entry(index).name; }

void QtPrinterSystem::makeCurrent(int32_t index) {
  QtInstalledPrinter& chosen = entry(index);
  current_ = index;
  printer_.attach(&chosen);
}

void QtPrinterSystem::yieldToEvents() { QCoreApplication::processEvents(); }

int32_t QtPrinterSystem::preselected(std::span<const uint8_t, kPrintDlgSize> record) {
  const std::optional<DevModeRecord> mode =
      readRecordBlock<DevModeRecord>(memory_, readU32(record, printdlg::kDevMode));
  const std::optional<DevNamesRecord> names =
      readRecordBlock<DevNamesRecord>(memory_, readU32(record, printdlg::kDevNames));
  int32_t index = -1;
  if (names) index = find(readDevNamesEntry(*names, devnames::kDeviceOffset));
  if (index < 0 && mode) index = find(devModeDeviceName(*mode));
  return index < 0 ? current_ : index;
}

std::unique_ptr<QPrinter> QtPrinterSystem::copyOf(const QtInstalledPrinter& entry) const {
  const QPrinter& from = *entry.printer;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (entry.pdf || listed_) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(from.outputFileName());
  } else {
    printer->setPrinterName(from.printerName());
  }
  printer->setPageLayout(from.pageLayout());
  printer->setCopyCount(from.copyCount());
  printer->setDuplex(from.duplex());
  printer->setResolution(from.resolution());
  return printer;
}

QtInstalledPrinter& QtPrinterSystem::chosenEntry(const QPrinter& chosen, int32_t preselected) {
  // A host's printers are no print system's: the dialog confirmed the pre-selected one.
  if (listed_) return entry(preselected);
  // Printing to a file, whichever way the dialog offered it, is the PDF printer's job.
  if (chosen.outputFormat() == QPrinter::PdfFormat) {
    QtInstalledPrinter& pdf = pdfPrinter();
    pdf.printer->setOutputFileName(chosen.outputFileName());
    return pdf;
  }
  if (const int32_t index = find(toText(chosen.printerName())); index >= 0) return entry(index);
  // A printer installed since the list was read joins it.
  printers_.push_back(systemPrinter(QPrinterInfo::printerInfo(chosen.printerName())));
  return *printers_.back();
}

int32_t QtPrinterSystem::printDialog(std::span<uint8_t, kPrintDlgSize> record) {
  lastDialog_ = GivenDialogRecords{};
  std::copy(record.begin(), record.end(), lastDialog_->printDlg.begin());
  lastDialog_->devMode =
      readRecordBlock<DevModeRecord>(memory_, readU32(record, printdlg::kDevMode));
  lastDialog_->devNames =
      readRecordBlock<DevNamesRecord>(memory_, readU32(record, printdlg::kDevNames));
  const std::optional<DialogScript> script = std::exchange(nextDialog_, std::nullopt);
  if (readU32(record, printdlg::kStructSize) != kPrintDlgSize) return 0;
  load();
  // Only a host's list can be empty: there is nothing to choose from.
  if (printers_.empty()) return 0;
  // The printer's own settings, then those the device mode holds.
  const int32_t start = preselected(record);
  std::unique_ptr<QPrinter> printer = copyOf(entry(start));
  std::optional<int16_t> duplex = entry(start).duplex;
  if (const std::optional<DevModeRecord>& mode = lastDialog_->devMode) {
    applyDevMode(*printer, *mode);
    if (duplex && (readU32(*mode, devmode::kFields) & devmode::kHasDuplex) != 0)
      duplex = static_cast<int16_t>(readU16(*mode, devmode::kDuplex));
  }
  if (script) return answerScripted(record, *script, std::move(printer), duplex, start);

  const uint32_t flags = readU32(record, printdlg::kFlags);
  QAbstractPrintDialog::PrintDialogOptions options =
      QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
  if ((flags & printdlg::kNoSelection) == 0) options |= QAbstractPrintDialog::PrintSelection;
  if ((flags & printdlg::kNoPageNums) == 0) options |= QAbstractPrintDialog::PrintPageRange;
  // Qt offers PDF output as printing to a file: the PDF printer needs it whatever the flags.
  if ((flags & printdlg::kDisablePrintToFile) == 0 ||
      printer->outputFormat() == QPrinter::PdfFormat)
    options |= QAbstractPrintDialog::PrintToFile;
  const bool confirmed = listed_   ? true
                         : runner_ ? runner_(*printer, options)
                                   : showPrintDialog(*printer, options);
  if (!confirmed) return 0;

  const QtInstalledPrinter& chosen = chosenEntry(*printer, start);
  hand(record, *printer, duplex, chosen.name, chosen.driver, chosen.port);
  return 1;
}

void QtPrinterSystem::hand(std::span<uint8_t, kPrintDlgSize> record, const QPrinter& settings,
                           std::optional<int16_t> duplex, TextView name, TextView driver,
                           TextView port) {
  DevModeRecord devMode = devModeOf(settings, name);
  if (duplex) writeU16(devMode, devmode::kDuplex, static_cast<uint16_t>(*duplex));
  const DevNamesRecord devNames = buildDevNames(driver, name, port);
  for (size_t field : {printdlg::kDevMode, printdlg::kDevNames}) {
    if (const GlobalHandle old = readU32(record, field); old != 0) memory_.free(old);
  }
  writeU32(record, printdlg::kDevMode, newRecordBlock(memory_, devMode));
  writeU32(record, printdlg::kDevNames, newRecordBlock(memory_, devNames));
}

}  // namespace tavi::qt
