// The three records exchanged with the print dialog, in their ANSI byte layouts: the
// print-dialog record (PRINTDLG), the device mode (DEVMODE) and the device names (DEVNAMES).
// Numbers are little-endian; text is the Windows-1252 code page, one byte a character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "shell/text.h"
#include "shell/widgets/printer.h"

namespace tavi {

using PrintDlgRecord = std::array<uint8_t, kPrintDlgSize>;
using DevModeRecord = std::array<uint8_t, kDevModeSize>;
using DevNamesRecord = std::array<uint8_t, kDevNamesSize>;

// Both blocks handed to the dialog are movable and zero-filled.
inline constexpr uint32_t kRecordBlockFlags = kGmemMoveable | kGmemZeroInit;

namespace printdlg {
inline constexpr size_t kStructSize = 0;  // 32-bit
inline constexpr size_t kOwner = 4;       // 32-bit window handle
inline constexpr size_t kDevMode = 8;     // 32-bit block handle
inline constexpr size_t kDevNames = 12;   // 32-bit block handle
inline constexpr size_t kFlags = 20;      // 32-bit
// The choices the dialog must not offer: a selection, page ranges, printing to a file.
inline constexpr uint32_t kNoSelection = 0x4;
inline constexpr uint32_t kNoPageNums = 0x8;
inline constexpr uint32_t kDisablePrintToFile = 0x80000;
inline constexpr uint32_t kFixedFlags = kNoSelection | kNoPageNums | kDisablePrintToFile;
}  // namespace printdlg

namespace devmode {
inline constexpr size_t kDeviceName = 0;  // 32 characters
inline constexpr size_t kDeviceNameLength = 32;
inline constexpr size_t kSize = 36;    // 16-bit
inline constexpr size_t kFields = 40;  // 32-bit mask of the fields that hold values
inline constexpr size_t kOrientation = 44;
inline constexpr size_t kPaperSize = 46;
inline constexpr size_t kCopies = 54;
inline constexpr size_t kPrintQuality = 58;
inline constexpr size_t kDuplex = 62;
// Field bits.
inline constexpr uint32_t kHasOrientation = 0x1;
inline constexpr uint32_t kHasPaperSize = 0x2;
inline constexpr uint32_t kHasCopies = 0x100;
inline constexpr uint32_t kHasPrintQuality = 0x400;
inline constexpr uint32_t kHasDuplex = 0x1000;
}  // namespace devmode

namespace devnames {
inline constexpr size_t kDriverOffset = 0;  // 16-bit offsets from the record's start
inline constexpr size_t kDeviceOffset = 2;
inline constexpr size_t kOutputOffset = 4;
inline constexpr size_t kDefault = 6;
inline constexpr size_t kTextArea = 8;
inline constexpr size_t kTextAreaLength = 100;
}  // namespace devnames

uint16_t readU16(std::span<const uint8_t> bytes, size_t offset);
uint32_t readU32(std::span<const uint8_t> bytes, size_t offset);
void writeU16(std::span<uint8_t> bytes, size_t offset, uint16_t value);
void writeU32(std::span<uint8_t> bytes, size_t offset, uint32_t value);

// Windows-1252: a character without a code in it becomes '?'.
uint8_t toAnsi(char16_t c);
char16_t fromAnsi(uint8_t b);
// Writes `text` as ANSI into `width` bytes at `offset`, cut at `width` or filled with `pad`.
void writeAnsi(std::span<uint8_t> bytes, size_t offset, TextView text, size_t width, uint8_t pad);
Text readAnsi(std::span<const uint8_t> bytes, size_t offset, size_t width);

// Size 66, no owner, no handles yet; flags = `printFlags` widened with its sign, OR the
// fixed flags.
PrintDlgRecord buildPrintDlg(int16_t printFlags);
// The device name cut or blank-padded to 32 characters, size 122, and the orientation and
// duplex setting with their field bits.
DevModeRecord buildDevMode(TextView deviceName, int16_t orientation, int16_t duplex);
// The three offsets and "driver NUL device NUL port NUL" blank-padded (or cut) to 100
// characters. An offset beyond 16 bits fails with overflow (6).
DevNamesRecord buildDevNames(TextView driver, TextView device, TextView port);

// What is read back from a device mode after the dialog.
struct DevModeChoice {
  Text deviceName;  // all 32 characters, NULs included
  int16_t orientation = 0;
  int16_t paperSize = 0;
  int16_t copies = 0;
  int16_t printQuality = 0;
  int16_t duplex = 0;
};
DevModeChoice readDevMode(std::span<const uint8_t, kDevModeSize> record);

// The NUL-terminated name at the offset that the 16-bit field `offsetField` holds; empty
// when the offset lies outside the record.
Text readDevNamesEntry(std::span<const uint8_t, kDevNamesSize> record, size_t offsetField);

}  // namespace tavi
