#include "win32/widgets/print_dialog.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "printing/print_records.h"

namespace tavi::win32 {

namespace {

using namespace printdlg32;

// On 32-bit Windows the native record is the core's record: the offsets are checked here
// against the system's own declaration.
#ifndef _WIN64
static_assert(sizeof(PRINTDLGA) == kPrintDlgSize);
static_assert(offsetof(PRINTDLGA, hwndOwner) == printdlg::kOwner);
static_assert(offsetof(PRINTDLGA, hDevMode) == printdlg::kDevMode);
static_assert(offsetof(PRINTDLGA, hDevNames) == printdlg::kDevNames);
static_assert(offsetof(PRINTDLGA, hDC) == kDC);
static_assert(offsetof(PRINTDLGA, Flags) == printdlg::kFlags);
static_assert(offsetof(PRINTDLGA, nFromPage) == kFromPage);
static_assert(offsetof(PRINTDLGA, nCopies) == kCopies);
static_assert(offsetof(PRINTDLGA, hInstance) == kInstance);
#endif

// Window handles keep 32 significant bits on 64-bit Windows (so that 32-bit and 64-bit
// programs can share them); they widen with the sign.
HWND windowOf(uint32_t handle) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
}

// The page fields, 16-bit each, in the order both layouts hold them.
constexpr std::array<size_t, 5> kPageFields = {kFromPage, kToPage, kMinPage, kMaxPage, kCopies};

std::array<WORD*, 5> pageFields(PRINTDLGA& native) {
  return {&native.nFromPage, &native.nToPage, &native.nMinPage, &native.nMaxPage, &native.nCopies};
}

// The block a token names, or null for 0; false for a token that names no block.
bool blockOf(const Win32GlobalMemory& memory, GlobalHandle token, HGLOBAL& block) {
  block = memory.native(token);
  return token == 0 || block != nullptr;
}

}  // namespace

bool toNativePrintDlg(std::span<const uint8_t, kPrintDlgSize> record,
                      const Win32GlobalMemory& memory, HWND owner, PRINTDLGA& native) {
  native = PRINTDLGA{};
  if (readU32(record, printdlg::kStructSize) != kPrintDlgSize) return false;
  native.lStructSize = sizeof(PRINTDLGA);
  const uint32_t ownerField = readU32(record, printdlg::kOwner);
  native.hwndOwner = ownerField != 0 ? windowOf(ownerField) : owner;
  if (!blockOf(memory, readU32(record, printdlg::kDevMode), native.hDevMode)) return false;
  if (!blockOf(memory, readU32(record, printdlg::kDevNames), native.hDevNames)) return false;
  native.Flags = readU32(record, printdlg::kFlags) & ~kForeignFlags;
  const std::array<WORD*, 5> fields = pageFields(native);
  for (size_t i = 0; i < kPageFields.size(); ++i) *fields[i] = readU16(record, kPageFields[i]);
  return true;
}

void fromNativePrintDlg(const PRINTDLGA& native, std::span<const uint8_t, kPrintDlgSize> given,
                        Win32GlobalMemory& memory, std::span<uint8_t, kPrintDlgSize> record) {
  std::copy(given.begin(), given.end(), record.begin());
  const uint32_t foreign = readU32(given, printdlg::kFlags) & kForeignFlags;
  writeU32(record, printdlg::kFlags, (native.Flags & ~kForeignFlags) | foreign);
  PRINTDLGA answer = native;
  const std::array<WORD*, 5> fields = pageFields(answer);
  for (size_t i = 0; i < kPageFields.size(); ++i) writeU16(record, kPageFields[i], *fields[i]);

  // Tokens of replaced blocks go first, so that a new block at a freed block's address
  // gets a token of its own.
  const std::array<std::pair<size_t, HGLOBAL>, 2> blocks = {
      std::pair{printdlg::kDevMode, native.hDevMode},
      std::pair{printdlg::kDevNames, native.hDevNames}};
  for (const auto& [field, block] : blocks) {
    const GlobalHandle token = readU32(given, field);
    if (token != 0 && memory.native(token) != block) memory.forget(token);
  }
  for (const auto& [field, block] : blocks) writeU32(record, field, memory.adopt(block));
}

int32_t runPrintDialog(std::span<uint8_t, kPrintDlgSize> record, Win32GlobalMemory& memory,
                       HWND owner, const DialogFunction& dialog) {
  PRINTDLGA native;
  if (!toNativePrintDlg(record, memory, owner, native)) return 0;
  const BOOL confirmed = dialog(native);
  if (native.hDC != nullptr) {
    DeleteDC(native.hDC);
    native.hDC = nullptr;
  }
  std::array<uint8_t, kPrintDlgSize> given;
  std::copy(record.begin(), record.end(), given.begin());
  fromNativePrintDlg(native, given, memory, record);
  return confirmed != FALSE ? 1 : 0;
}

}  // namespace tavi::win32
