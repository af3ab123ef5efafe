// The headless global memory: numbered blocks with their allocation flags and lock counts,
// so that tests can see which blocks a caller allocated, locked and freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "shell/widgets/printer.h"

namespace tavi {

class HeadlessGlobalMemory final : public GlobalMemory {
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

  std::map<GlobalHandle, Block> blocks_;
  std::vector<uint32_t> allocationFlags_;
  GlobalHandle next_ = 0x1000;
  bool exhausted_ = false;
};

}  // namespace tavi
