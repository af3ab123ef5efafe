// What a test host scripts on the Windows printer system through the control's probe: a
// printer list of its own, the print dialogs' answers and a record of the output. The
// Windows code still runs: the dialog records are translated to native ones and back as for
// PrintDlgA, and the printer keeps its settings in each printer's DEVMODEW. Only the dialog
// window and the device are stood in for: the dialog's choice follows the headless
// platform's rule and the output goes to a headless printer, with its page and text
// measures, so that documents and records compare with the headless platform's.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>

#include "headless/printer_system.h"
#include "win32/widgets/printer_system.h"

namespace tavi::win32 {

class PrinterScript {
 public:
  // From now on `printers` records its output here and its dialogs are answered here; at
  // first with the headless platform's default printer list.
  explicit PrinterScript(Win32PrinterSystem& printers);
  PrinterScript(const PrinterScript&) = delete;
  PrinterScript& operator=(const PrinterScript&) = delete;

  // The thread's script, made on first use (it lives as long as the thread).
  static PrinterScript& forThisThread();

  // [{"name", "driver", "port"}, ...]: the printers, each with the headless defaults for its
  // settings. RuntimeError 9 when `current` is no index of a non-empty list.
  void installPrinters(const nlohmann::json& printers, int32_t current);
  // "cancel", or an object of the choices (printer, copies, orientation, duplex, paperSize,
  // printQuality), each optional; std::invalid_argument for anything else.
  void scriptDialog(const nlohmann::json& answer);
  // {"documents": [{"printer", "copies", "orientation", "duplex", "paperSize",
  // "printQuality", "pages": [[{"line": [x1, y1, x2, y2], "color"} or {"text", "x", "y",
  // "fontSize"}, ...]], "ended"}], "dialog": {"flags", "devmode", "devnames", "printdlg"}
  // (bytes as arrays of numbers, a missing block null) or null before the first dialog}.
  nlohmann::ordered_json printout();

 private:
  // The dialog: the headless rule on this system's printers, their settings as they are
  // now, and the records given.
  BOOL answer(std::span<const uint8_t, kPrintDlgSize> given, PRINTDLGA& native);

  Win32PrinterSystem& printers_;
  RecordingPrinter recorder_;
  std::optional<DialogAnswer> next_;
  std::optional<DialogRecords> lastDialog_;
};

}  // namespace tavi::win32
