// The printer system of the Windows platform: the installed printers (local ones and
// connections, the default printer first and current), the current printer drawing on a
// GDI printer device context, the print dialog (PrintDlgA) on the 32-bit records the core
// hands over, global memory for those records, and the yield to pending window messages.
// The printer list is read when first needed.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "shell/widgets/printer.h"

namespace tavi::win32 {

class Win32PrinterSystem final : public PrinterSystem {
 public:
  Win32PrinterSystem();
  ~Win32PrinterSystem() override;
  Win32PrinterSystem(const Win32PrinterSystem&) = delete;
  Win32PrinterSystem& operator=(const Win32PrinterSystem&) = delete;

  // Documents go to this file instead of the printer's port (empty: the port again).
  void setOutputFile(std::wstring file);

  Printer& current() override;
  int32_t printerCount() const override;
  Text printerDeviceName(int32_t index) const override;
  void makeCurrent(int32_t index) override;
  GlobalMemory& memory() override;
  int32_t printDialog(std::span<uint8_t, kPrintDlgSize> record) override;
  void yieldToEvents() override;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tavi::win32
