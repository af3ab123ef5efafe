// Global memory for platforms that have none of their own: numbered movable blocks with
// their lock counts. It also keeps what tests look at: the flags of every allocation, the
// lock count of a block, and a switch that makes allocations fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "shell/widgets/printer.h"

namespace tavi {

class BlockMemory final : public GlobalMemory {
 public:
  GlobalHandle allocate(uint32_t flags, size_t size) override;
  std::span<uint8_t> lock(GlobalHandle handle) override;
  bool unlock(GlobalHandle handle) override;
  GlobalHandle free(GlobalHandle handle) override;

  // Blocks allocated and not freed.
  size_t liveBlocks() const { return blocks_.size(); }
  // The flags of every allocation so far, in order.
  const std::vector<uint32_t>& allocationFlags() const { return allocationFlags_; }
  // How often the live block is locked now; -1 for a handle that is no live block.
  int lockCount(GlobalHandle handle) const;
  // While set, allocations fail (return 0).
  void setExhausted(bool exhausted) { exhausted_ = exhausted; }

 private:
  struct Block {
    std::vector<uint8_t> bytes;
    int locks = 0;
  };
  // Fill of a block allocated without zero-init, so that missing data shows.
  static constexpr uint8_t kUninitialised = 0xCD;
  static constexpr GlobalHandle kHandleStep = 8;

  std::map<GlobalHandle, Block> blocks_;
  std::vector<uint32_t> allocationFlags_;
  GlobalHandle next_ = 0x1000;
  bool exhausted_ = false;
};

}  // namespace tavi
