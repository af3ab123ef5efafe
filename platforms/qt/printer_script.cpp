// What a test host scripts on the Qt printer system: a printer list of its own and the
// answers of print dialogs. The records are still read and written by the Qt dialog code
// and the settings still live on QPrinters.
#include <QPrinter>

#include <stdexcept>
#include <string>

#include "qt/printer_system.h"

namespace tavi::qt {

void QtPrinterSystem::installPrinters(const std::vector<ListedPrinter>& printers, int32_t current) {
  if (!printers.empty() && (current < 0 || current >= static_cast<int32_t>(printers.size())))
    throw std::out_of_range("no printer " + std::to_string(current));
  reset();
  loaded_ = true;
  listed_ = true;
  releaseWithApplication();
  for (const ListedPrinter& listed : printers) {
    auto entry = std::make_unique<QtInstalledPrinter>();
    entry->name = listed.name;
    entry->driver = listed.driver;
    entry->port = listed.port;
    entry->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    entry->printer->setOutputFormat(QPrinter::PdfFormat);
    applyCodes(*entry->printer, listed.settings);
    entry->duplex = listed.settings.duplex;
    printers_.push_back(std::move(entry));
  }
  if (printers_.empty()) return;
  current_ = current;
  printer_.attach(printers_[static_cast<size_t>(current_)].get());
}

int32_t QtPrinterSystem::answerScripted(std::span<uint8_t, kPrintDlgSize> record,
                                        const DialogScript& answer,
                                        std::unique_ptr<QPrinter> printer,
                                        std::optional<int16_t> duplex, int32_t preselected) {
  if (answer.cancel) return 0;
  const QtInstalledPrinter* chosen = &entry(preselected);
  // Another printer comes with its own settings; one not in the list keeps those shown.
  Text name = chosen->name;
  if (answer.printer && *answer.printer != chosen->name) {
    name = *answer.printer;
    const int32_t index = find(name);
    chosen = index >= 0 ? &entry(index) : nullptr;
    if (chosen != nullptr) {
      printer = copyOf(*chosen);
      duplex = chosen->duplex;
    }
  }
  if (answer.copies) printer->setCopyCount(*answer.copies);
  if (answer.orientation) setOrientationCode(*printer, *answer.orientation);
  if (answer.duplex) {
    setDuplexCode(*printer, *answer.duplex);
    if (duplex) duplex = *answer.duplex;
  }
  if (answer.paperSize) setPaperSizeCode(*printer, *answer.paperSize);
  if (answer.printQuality) setPrintQualityCode(*printer, *answer.printQuality);
  if (chosen == nullptr)
    hand(record, *printer, duplex, name, {}, {});
  else
    hand(record, *printer, duplex, chosen->name, chosen->driver, chosen->port);
  return 1;
}

}  // namespace tavi::qt
