// The printer system of the Windows platform: the installed printers (local ones and
// connections, the default printer first and current), the current printer drawing on a
// GDI printer device context, the print dialog (PrintDlgA) on the 32-bit records the core
// hands over, global memory for those records, and the yield to pending window messages.
// The printer list is read when first needed. A test host may install a printer list of
// its own, answer the print dialogs and record the output (the control's probe); a host
// that never does sees the spooler's printers and the real dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "shell/widgets/printer.h"
#include "win32/widgets/printer_device.h"

namespace tavi::win32 {

class Win32PrinterSystem final : public PrinterSystem {
 public:
  Win32PrinterSystem();
  ~Win32PrinterSystem() override;
  Win32PrinterSystem(const Win32PrinterSystem&) = delete;
  Win32PrinterSystem& operator=(const Win32PrinterSystem&) = delete;

  // Documents go to this file instead of the printer's port (empty: the port again).
  void setOutputFile(std::wstring file);

  // Answers a dialog in place of PrintDlgA: gets the 32-bit record as the core gave it and
  // the native record translated from it, as PrintDlgA would; returns PrintDlgA's result.
  using DialogAnswerer =
      std::function<BOOL(std::span<const uint8_t, kPrintDlgSize> given, PRINTDLGA& native)>;
  // Replaces the spooler's printers by these, `current` current (ignored when the list is
  // empty; RuntimeError 9 when it is no index). Entries need their device modes filled in:
  // no driver is asked for one.
  void installPrinters(std::vector<std::unique_ptr<PrinterEntry>> printers, int32_t current);
  // The dialogs are answered by `answerer` (null: PrintDlgA again).
  void answerDialogs(DialogAnswerer answerer);
  // The current printer's output goes to `recorder` (null: to the printers again).
  void recordOutput(PrintRecorder* recorder);
  // The installed printer at `index` (RuntimeError 9 when there is none), and the current
  // printer's index (-1 when none is installed).
  PrinterEntry& printerEntry(int32_t index);
  int32_t currentIndex() const;

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
