// The print dialog on the 32-bit PRINTDLG record that the core builds. The record has the
// packed layout of 32-bit Windows (66 bytes) and names its device-mode and device-names
// blocks by 32-bit global memory tokens; the native PRINTDLGA of a 64-bit build is laid out
// differently and holds HGLOBALs. The record is translated to a native one, the dialog runs
// on it, and its answer is translated back.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <span>

#include "shell/widgets/printer.h"
#include "win32/widgets/global_memory.h"

namespace tavi::win32 {

// Offsets of the 32-bit record's fields that the core's own layout does not name.
namespace printdlg32 {
inline constexpr size_t kDC = 16;
inline constexpr size_t kFromPage = 24;  // then to, min and max page and copies, 16-bit
inline constexpr size_t kToPage = 26;
inline constexpr size_t kMinPage = 28;
inline constexpr size_t kMaxPage = 30;
inline constexpr size_t kCopies = 32;
inline constexpr size_t kInstance = 34;  // then the custom data, two hooks, two template
                                         // names and two template handles, 32-bit each
// Flags that make the dialog use the hook, template and instance fields: those are
// addresses and handles of a 32-bit caller, which a native dialog cannot use.
inline constexpr uint32_t kForeignFlags =
    PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPTEMPLATE |
    PD_ENABLEPRINTTEMPLATEHANDLE | PD_ENABLESETUPTEMPLATEHANDLE;
}  // namespace printdlg32

// The dialog itself (PrintDlgA, or a stand-in in tests).
using DialogFunction = std::function<BOOL(PRINTDLGA& dialog)>;

// The native record for a 32-bit one: the size of the native layout; the record's owner, or
// `owner` when the record names none; the blocks its tokens name; its flags without the
// foreign ones; its page numbers and copies. Hooks, templates, instance and custom data stay
// null. False when the record's size is not 66 or a token names no block.
bool toNativePrintDlg(std::span<const uint8_t, kPrintDlgSize> record,
                      const Win32GlobalMemory& memory, HWND owner, PRINTDLGA& native);

// Writes the dialog's answer into the record: flags (the foreign ones kept as they were),
// page numbers, copies and the two blocks. A block the dialog kept keeps its token; a
// block it replaced is its own to free, so its token is dropped, and the new block gets a
// new token. The owner, the device-context field and the foreign fields stay as they were.
void fromNativePrintDlg(const PRINTDLGA& native, std::span<const uint8_t, kPrintDlgSize> given,
                        Win32GlobalMemory& memory, std::span<uint8_t, kPrintDlgSize> record);

// The whole round: translates, runs `dialog`, translates back. A device context that the
// dialog returns (PD_RETURNDC, PD_RETURNIC) is deleted: a caller of the 32-bit record has
// no way to release it. The dialog's result (0 when it was cancelled or failed, and for a
// record that cannot be translated, without running the dialog).
int32_t runPrintDialog(std::span<uint8_t, kPrintDlgSize> record, Win32GlobalMemory& memory,
                       HWND owner, const DialogFunction& dialog);

}  // namespace tavi::win32
