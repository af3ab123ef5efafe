#include <gtest/gtest.h>

#include <string>

#include "printing/print_records.h"
#include "shell/runtime_error.h"

namespace tavi {
namespace {

std::string hex(std::span<const uint8_t> bytes) {
  std::string s;
  char b[3];
  for (uint8_t byte : bytes) {
    std::snprintf(b, sizeof b, "%02X", byte);
    s += b;
  }
  return s;
}

std::string zeros(size_t bytes) { return std::string(2 * bytes, '0'); }

TEST(PrintRecords, LayoutsPutEachFieldAtItsOffsetAndNamesAreAnsi) {
  // Flags are widened with their sign: a negative value sets every upper bit.
  EXPECT_EQ(readU32(buildPrintDlg(-2), printdlg::kFlags), 0xFFFFFFFEu);
  EXPECT_EQ(readU32(buildPrintDlg(INT16_MAX), printdlg::kFlags), 0x00087FFFu);
  // "Laser" blank-padded to 32, size 122 at 36, mask 0x1001 at 40, orientation 2 at 44,
  // duplex 3 at 62, zero everywhere else.
  std::string blanks;
  for (int i = 0; i < 27; ++i) blanks += "20";
  EXPECT_EQ(hex(buildDevMode(u"Laser", 2, 3)), "4C61736572" + blanks + zeros(4) + "7A00" +
                                                   zeros(2) + "01100000" + "0200" + zeros(16) +
                                                   "0300" + zeros(58));
  // The name is cut at 32 and written as ANSI.
  const DevModeRecord cut = buildDevMode(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 1, 1);
  EXPECT_EQ(readAnsi(cut, 0, 33), Text(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345") + u'\0');
  const DevModeRecord ansi = buildDevMode(u"\u00e9\u20ac\u0142", 1, 1);
  EXPECT_EQ(hex(std::span(ansi).first(4)), "E9803F20");  // e-acute, euro, no code: '?'
}

TEST(PrintRecords, DevNamesTextIsCutAtOneHundredButOffsetsAreNot) {
  const DevNamesRecord r = buildDevNames(Text(60, u'd'), Text(50, u'n'), u"LPT1:");
  EXPECT_EQ(readU16(r, devnames::kDeviceOffset), 69);
  EXPECT_EQ(readU16(r, devnames::kOutputOffset), 120);
  EXPECT_EQ(r.back(), 'n');
  EXPECT_EQ(readDevNamesEntry(r, devnames::kDeviceOffset), Text(39, u'n'));
  EXPECT_EQ(readDevNamesEntry(r, devnames::kOutputOffset), u"");
  try {
    buildDevNames(Text(40000, u'd'), u"x", u"y");
    FAIL() << "an offset beyond 16 bits";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), err::kOverflow);
  }
}

TEST(PrintRecords, DevModeReadBackTakesTheFieldsAtTheirOffsets) {
  DevModeRecord r{};
  writeAnsi(r, 0, u"Draft", 32, 0);
  writeU16(r, devmode::kOrientation, 2);
  writeU16(r, devmode::kPaperSize, 9);
  writeU16(r, devmode::kCopies, 3);
  writeU16(r, devmode::kPrintQuality, static_cast<uint16_t>(-4));
  writeU16(r, devmode::kDuplex, 5);
  const DevModeChoice c = readDevMode(r);
  EXPECT_EQ(c.deviceName, Text(u"Draft") + Text(27, u'\0'));
  EXPECT_EQ((std::array{c.orientation, c.paperSize, c.copies, c.printQuality, c.duplex}),
            (std::array<int16_t, 5>{2, 9, 3, -4, 5}));
}

}  // namespace
}  // namespace tavi
