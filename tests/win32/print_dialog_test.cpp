// Global memory tokens, the translation of the 32-bit print-dialog record to the native one
// and back, the printer system without printers, and the yield to pending messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <winspool.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "control_fixture.h"
#include "printing/print_records.h"
#include "printing/record_blocks.h"
#include "shell/runtime_error.h"
#include "win32/widgets/global_memory.h"
#include "win32/widgets/print_dialog.h"
#include "win32/widgets/printer_system.h"

namespace tavi::win32 {
namespace {

using testing::errorOf;

// The lock counting itself is the same as the core's block memory (block_memory_test); here,
// that tokens name real blocks, and blocks of others are taken in and let go unfreed.
TEST(GlobalMemoryTest, TokensNameRealBlocksWithTheirLockCounts) {
  Win32GlobalMemory memory;
  const GlobalHandle a = memory.allocate(kRecordBlockFlags, kDevModeSize);
  ASSERT_NE(a, 0u);
  EXPECT_EQ(GlobalSize(memory.native(a)), kDevModeSize);
  const std::span<uint8_t> first = memory.lock(a);
  ASSERT_EQ(first.size(), kDevModeSize);
  EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](uint8_t x) { return x == 0; }));
  first[0] = 0x5A;
  EXPECT_EQ(memory.lock(a)[0], 0x5A);
  EXPECT_EQ(GlobalFlags(memory.native(a)) & GMEM_LOCKCOUNT, 2u);
  EXPECT_TRUE(memory.unlock(a));   // still locked once
  EXPECT_FALSE(memory.unlock(a));  // now unlocked
  EXPECT_EQ(GlobalFlags(memory.native(a)) & GMEM_LOCKCOUNT, 0u);

  // A freed token names nothing, and is not the next one given out.
  EXPECT_EQ(memory.free(a), 0u);
  EXPECT_EQ(memory.liveBlocks(), 0u);
  EXPECT_NE(memory.allocate(kRecordBlockFlags, 8), a);
  for (GlobalHandle bad : {0u, 1u, 0xDEADBEEFu, a}) {
    EXPECT_TRUE(memory.lock(bad).empty()) << bad;
    EXPECT_FALSE(memory.unlock(bad)) << bad;
    EXPECT_EQ(memory.free(bad), bad) << bad;
    EXPECT_EQ(memory.native(bad), nullptr) << bad;
  }
  // A movable block of no bytes exists but cannot be locked.
  EXPECT_TRUE(memory.lock(memory.allocate(kGmemMoveable, 0)).empty());

  // A block of another's: one token however often adopted, and forgotten without freeing.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
  const GlobalHandle token = memory.adopt(block);
  EXPECT_EQ(memory.adopt(block), token);
  EXPECT_EQ(memory.adopt(nullptr), 0u);
  memory.forget(token);
  EXPECT_EQ(memory.native(token), nullptr);
  EXPECT_EQ(GlobalFree(block), nullptr);  // forgetting did not free it
}

// A record as the core builds it, with the blocks of a printer's settings and names, and
// values in every field that the core leaves 0.
struct PrintDialogTest : ::testing::Test {
  PrintDialogTest() {
    record = buildPrintDlg(0x100);
    writeU32(record, printdlg::kDevMode, newRecordBlock(memory, devMode));
    writeU32(record, printdlg::kDevNames, newRecordBlock(memory, devNames));
    for (size_t at = printdlg32::kFromPage; at < kPrintDlgSize; ++at)
      record[at] = static_cast<uint8_t>(at);
    writeU32(record, printdlg::kFlags, readU32(record, printdlg::kFlags) | PD_ENABLEPRINTHOOK);
  }
  GlobalHandle token(size_t field) const { return readU32(record, field); }

  Win32GlobalMemory memory;
  DevModeRecord devMode = buildDevMode(u"Office Laser", 2, 3);
  DevNamesRecord devNames = buildDevNames(u"winspool", u"Office Laser", u"LPT1:");
  PrintDlgRecord record;
  HWND owner = reinterpret_cast<HWND>(static_cast<intptr_t>(0x10020));
};

TEST_F(PrintDialogTest, NativeRecordHoldsTheSameBlocksAndFields) {
  PRINTDLGA native;
  ASSERT_TRUE(toNativePrintDlg(record, memory, owner, native));
  EXPECT_EQ(native.lStructSize, sizeof(PRINTDLGA));
  EXPECT_EQ(native.hwndOwner, owner);
  EXPECT_EQ(native.hDevMode, memory.native(token(printdlg::kDevMode)));
  EXPECT_EQ(native.hDevNames, memory.native(token(printdlg::kDevNames)));
  EXPECT_EQ(native.hDC, nullptr);
  EXPECT_EQ(native.Flags, 0x100u | printdlg::kFixedFlags);  // without the hook flag
  EXPECT_EQ((std::array{native.nFromPage, native.nToPage, native.nMinPage, native.nMaxPage,
                        native.nCopies}),
            (std::array<WORD, 5>{0x1918, 0x1B1A, 0x1D1C, 0x1F1E, 0x2120}));
  EXPECT_TRUE(native.hInstance == nullptr && native.lCustData == 0 &&
              native.lpfnPrintHook == nullptr && native.lpPrintTemplateName == nullptr &&
              native.hSetupTemplate == nullptr)
      << "the hook's fields stay empty";

  // The blocks hold the core's bytes, which read as the system's own records.
  const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(native.hDevMode));
  EXPECT_EQ(std::memcmp(mode, devMode.data(), kDevModeSize), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(mode->dmDeviceName), 12), "Office Laser");
  EXPECT_EQ(std::tuple(mode->dmSize, mode->dmFields, mode->dmOrientation, mode->dmDuplex),
            std::tuple(WORD{kDevModeSize}, DWORD{DM_ORIENTATION | DM_DUPLEX}, short{2}, short{3}));
  GlobalUnlock(native.hDevMode);
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(native.hDevNames));
  const char* base = reinterpret_cast<const char*>(names);
  EXPECT_STREQ(base + names->wDriverOffset, "winspool");
  EXPECT_STREQ(base + names->wDeviceOffset, "Office Laser");
  EXPECT_STREQ(base + names->wOutputOffset, "LPT1:");
  GlobalUnlock(native.hDevNames);

  // An owner in the record stands before the control's, widened with its sign.
  writeU32(record, printdlg::kOwner, 0xFFFF0042u);
  ASSERT_TRUE(toNativePrintDlg(record, memory, owner, native));
  EXPECT_EQ(reinterpret_cast<intptr_t>(native.hwndOwner), intptr_t{-65470});
}

// A script cannot print unasked: the flag that returns the default printer without a
// dialog makes the system's dialog fail when it is handed a printer's settings, as the
// control always does.
TEST_F(PrintDialogTest, TheFlagThatSkipsTheDialogMakesItFail) {
  PrintDlgRecord skipping = buildPrintDlg(PD_RETURNDEFAULT);
  writeU32(skipping, printdlg::kDevMode, newRecordBlock(memory, devMode));
  writeU32(skipping, printdlg::kDevNames, newRecordBlock(memory, devNames));
  DWORD why = 0;
  EXPECT_EQ(runPrintDialog(skipping, memory, nullptr,
                           [&](PRINTDLGA& d) {
                             const BOOL shown = PrintDlgA(&d);
                             why = CommDlgExtendedError();
                             return shown;
                           }),
            0);
  EXPECT_EQ(why, DWORD{PDERR_RETDEFFAILURE}) << "not for want of a printer";
}

TEST_F(PrintDialogTest, RecordsThatCannotBeTranslatedFailWithoutADialog) {
  struct Case {
    const char* what;
    size_t field;
    uint32_t value;
  };
  for (const Case& c : {Case{"size", printdlg::kStructSize, 120},
                        Case{"device mode", printdlg::kDevMode, 0x77777777},
                        Case{"device names", printdlg::kDevNames, 1}}) {
    PrintDlgRecord bad = record;
    writeU32(bad, c.field, c.value);
    int shown = 0;
    EXPECT_EQ(runPrintDialog(bad, memory, owner, [&](PRINTDLGA&) { return ++shown, TRUE; }), 0)
        << c.what;
    EXPECT_EQ(shown, 0) << c.what;
  }
}

// A cancelled dialog changes nothing; a confirmed one's answer comes back byte for byte, with
// the same tokens, the owner 0 and the hook fields as given. A context that the dialog
// returns is deleted, never handed on.
TEST_F(PrintDialogTest, AnswerComesBackByteForByte) {
  const PrintDlgRecord given = record;
  EXPECT_EQ(runPrintDialog(record, memory, owner, [](PRINTDLGA&) { return FALSE; }), 0);
  EXPECT_EQ(record, given);

  PrintDlgRecord expected = record;
  writeU32(expected, printdlg::kFlags, readU32(record, printdlg::kFlags) | PD_COLLATE);
  writeU16(expected, printdlg32::kCopies, 4);
  HWND seenOwner = nullptr;
  HDC returned = nullptr;
  const int32_t result = runPrintDialog(record, memory, owner, [&](PRINTDLGA& dialog) {
    seenOwner = dialog.hwndOwner;
    dialog.Flags |= PD_COLLATE;
    dialog.nCopies = 4;
    returned = dialog.hDC = CreateCompatibleDC(nullptr);
    return TRUE;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(seenOwner, owner);
  EXPECT_EQ(record, expected);
  EXPECT_EQ(GetObjectType(returned), 0u);  // deleted
  EXPECT_EQ(memory.liveBlocks(), 2u);
}

// With no printer installed (as in a fresh Wine prefix), the printer system lists none and
// every member of the current printer fails with 484.
TEST(PrinterSystemTest, WithoutPrintersEveryPrinterMemberFails) {
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                &count);
  if (needed != 0) GTEST_SKIP() << "a printer is installed";

  Win32PrinterSystem printers;
  EXPECT_EQ(printers.printerCount(), 0);
  Printer& p = printers.current();
  const std::vector<std::function<void()>> members = {
      [&] { p.deviceName(); },        [&] { p.driverName(); },      [&] { p.port(); },
      [&] { p.orientation(); },       [&] { p.setOrientation(1); }, [&] { p.duplex(); },
      [&] { p.setDuplex(1); },        [&] { p.copies(); },          [&] { p.setCopies(1); },
      [&] { p.paperSize(); },         [&] { p.setPaperSize(1); },   [&] { p.printQuality(); },
      [&] { p.setPrintQuality(-4); }, [&] { p.pageWidth(); },       [&] { p.pageHeight(); },
      [&] { p.fontSize(); },          [&] { p.setFontSize(9); },    [&] { p.currentX(); },
      [&] { p.setCurrentX(0); },      [&] { p.currentY(); },        [&] { p.setCurrentY(0); },
      [&] { p.textWidth(u"A"); },     [&] { p.textHeight(u"A"); },  [&] { p.line(0, 0, 1, 1, 0); },
      [&] { p.print(u"A"); },         [&] { p.newPage(); },         [&] { p.endDoc(); }};
  for (size_t i = 0; i < members.size(); ++i)
    EXPECT_EQ(errorOf(members[i]), err::kPrinterError) << "member " << i;
  EXPECT_EQ(errorOf([&] { printers.printerDeviceName(0); }), err::kSubscript);
}

TEST(PrinterSystemTest, YieldRunsPendingMessagesAndLeavesAQuitRequest) {
  HWND window =
      CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);   // not the only message: every one must run
  PostMessageW(window, WM_CLOSE, 0, 0);  // the default procedure destroys the window
  PostQuitMessage(7);
  Win32PrinterSystem printers;
  printers.yieldToEvents();
  EXPECT_FALSE(IsWindow(window));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
}  // namespace tavi::win32
