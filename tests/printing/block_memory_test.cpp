#include "printing/block_memory.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "printing/print_records.h"
#include "printing/record_blocks.h"
#include "support/error_number.h"

namespace tavi {
namespace {

std::vector<uint8_t> bytesOf(std::span<const uint8_t> block) {
  return {block.begin(), block.end()};
}

TEST(BlockMemoryTest, BlocksAreFilledAsTheirFlagsAskUnlessMemoryIsExhausted) {
  BlockMemory memory;
  memory.setExhausted(true);
  EXPECT_EQ(memory.allocate(kGmemMoveable, 4), 0u);
  memory.setExhausted(false);
  const GlobalHandle zeroed = memory.allocate(kGmemMoveable | kGmemZeroInit, 4);
  const GlobalHandle raw = memory.allocate(kGmemMoveable, 3);
  ASSERT_NE(zeroed, 0u);
  EXPECT_NE(zeroed, raw);
  EXPECT_EQ(bytesOf(memory.lock(zeroed)), std::vector<uint8_t>(4, 0));
  EXPECT_EQ(bytesOf(memory.lock(raw)), std::vector<uint8_t>(3, 0xCD));
  EXPECT_EQ(memory.liveBlocks(), 2u);
}

TEST(BlockMemoryTest, LocksNestAndFreeingForgetsTheBlock) {
  BlockMemory memory;
  const GlobalHandle h = memory.allocate(kGmemMoveable, 8);
  memory.lock(h)[0] = 7;
  EXPECT_EQ(memory.lock(h)[0], 7) << "the bytes stay with the block";
  EXPECT_TRUE(memory.unlock(h)) << "still locked by the first lock";
  EXPECT_FALSE(memory.unlock(h));
  EXPECT_FALSE(memory.unlock(h)) << "an unlocked block stays at zero";
  EXPECT_EQ(memory.lockCount(h), 0);

  EXPECT_EQ(memory.free(h), 0u);
  EXPECT_EQ(memory.free(h), h) << "a freed handle is no block";
  EXPECT_TRUE(memory.lock(h).empty());
  EXPECT_EQ(memory.lockCount(h), -1);
  EXPECT_EQ(memory.liveBlocks(), 0u);
  EXPECT_TRUE(memory.lock(0).empty());
}

TEST(RecordBlocksTest, BlocksHoldTheRecordUnlockedAndReadBackFittedToIt) {
  using Record = std::array<uint8_t, 4>;
  BlockMemory memory;
  const GlobalHandle shortBlock = newRecordBlock(memory, std::array<uint8_t, 2>{9, 8});
  const GlobalHandle longBlock = newRecordBlock(memory, std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6});
  EXPECT_EQ(memory.lockCount(shortBlock), 0);
  EXPECT_EQ(readRecordBlock<Record>(memory, shortBlock), (Record{9, 8, 0, 0}));
  EXPECT_EQ(readRecordBlock<Record>(memory, longBlock), (Record{1, 2, 3, 4}));
  EXPECT_EQ(memory.lockCount(longBlock), 0) << "reading unlocks again";
  EXPECT_EQ(readRecordBlock<Record>(memory, 0), std::nullopt);
  memory.free(shortBlock);
  EXPECT_EQ(readRecordBlock<Record>(memory, shortBlock), std::nullopt);
  memory.setExhausted(true);
  EXPECT_EQ(newRecordBlock(memory, std::array<uint8_t, 1>{1}), 0u);
}

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
