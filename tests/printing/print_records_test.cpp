#include <gtest/gtest.h>

#include <vector>

#include "printing/print_records.h"
#include "support/error_number.h"

namespace tavi {
namespace {

// The records' layouts and the dialog flags are checked byte for byte by the printing_records
// scenario, and the fields read back after the dialog by printing_choose_printer and
// printing_copies.
TEST(PrintRecords, TheDeviceNameIsCutAtThirtyTwoAndWrittenAsAnsi) {
  const DevModeRecord cut = buildDevMode(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 1, 1);
  EXPECT_EQ(readAnsi(cut, 0, 33), Text(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345") + u'\0');
  const DevModeRecord ansi = buildDevMode(u"\u00e9\u20ac\u0142", 1, 1);
  // e-acute, euro, no code ('?'), then the blank padding
  EXPECT_EQ(std::vector<uint8_t>(ansi.begin(), ansi.begin() + 4),
            (std::vector<uint8_t>{0xE9, 0x80, 0x3F, 0x20}));
}

TEST(PrintRecords, DevNamesTextIsCutAtOneHundredButOffsetsAreNot) {
  const DevNamesRecord r = buildDevNames(Text(60, u'd'), Text(50, u'n'), u"LPT1:");
  EXPECT_EQ(readU16(r, devnames::kDeviceOffset), 69);
  EXPECT_EQ(readU16(r, devnames::kOutputOffset), 120);
  EXPECT_EQ(r.back(), 'n');
  EXPECT_EQ(readDevNamesEntry(r, devnames::kDeviceOffset), Text(39, u'n'));
  EXPECT_EQ(readDevNamesEntry(r, devnames::kOutputOffset), u"");
  EXPECT_EQ(testing::errorNumberOf([] { buildDevNames(Text(40000, u'd'), u"x", u"y"); }),
            err::kOverflow)
      << "an offset beyond 16 bits";
}

}  // namespace
}  // namespace tavi
