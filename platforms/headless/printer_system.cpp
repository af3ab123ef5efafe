#include "headless/printer_system.h"

#include <stdexcept>
#include <string>

#include "shell/runtime_error.h"

namespace tavi {

HeadlessPrinterSystem::HeadlessPrinterSystem() {
  setPrinters({{u"Headless Printer", u"tavi", u"FILE:", {}}}, 0);
}

void HeadlessPrinterSystem::setPrinters(std::vector<InstalledPrinter> printers, int32_t current) {
  if (!printers.empty() && (current < 0 || current >= static_cast<int32_t>(printers.size())))
    throw std::out_of_range("no printer " + std::to_string(current));
  printers_ = std::move(printers);
  current_ = printers_.empty() ? -1 : current;
  printer_.attach(printers_.empty() ? nullptr : &printers_[static_cast<size_t>(current_)]);
}

const InstalledPrinter& HeadlessPrinterSystem::installed(int32_t index) const {
  if (index < 0 || index >= printerCount()) throw RuntimeError(err::kSubscript);
  return printers_[static_cast<size_t>(index)];
}

int32_t HeadlessPrinterSystem::printerCount() const {
  return static_cast<int32_t>(printers_.size());
}

Text HeadlessPrinterSystem::printerDeviceName(int32_t index) const { return installed(index).name; }

void HeadlessPrinterSystem::makeCurrent(int32_t index) {
  installed(index);
  current_ = index;
  printer_.attach(&printers_[static_cast<size_t>(index)]);
}

}  // namespace tavi
