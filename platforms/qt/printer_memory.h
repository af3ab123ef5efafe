// Global memory on the Qt platform: numbered blocks with their lock counts, kept by the
// printer system for the records that pass through the print dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "shell/widgets/printer.h"

namespace tavi::qt {

class QtGlobalMemory final : public GlobalMemory {
 public:
  GlobalHandle allocate(uint32_t flags, size_t size) override;
  std::span<uint8_t> lock(GlobalHandle handle) override;
  bool unlock(GlobalHandle handle) override;
  GlobalHandle free(GlobalHandle handle) override;

  // Blocks allocated and not freed.
  size_t liveBlocks() const { return blocks_.size(); }

 private:
  struct Block {
    std::vector<uint8_t> bytes;
    int locks = 0;
  };
  // Fill of a block allocated without zero-init, so that missing data shows.
  static constexpr uint8_t kUninitialised = 0xCD;
  static constexpr GlobalHandle kHandleStep = 8;

  std::map<GlobalHandle, Block> blocks_;
  GlobalHandle next_ = 0x1000;
};

}  // namespace tavi::qt
