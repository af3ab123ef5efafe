#include "printing/block_memory.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "printing/print_records.h"
#include "printing/record_blocks.h"

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

}  // namespace
}  // namespace tavi
