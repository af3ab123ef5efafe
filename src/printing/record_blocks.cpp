#include "printing/record_blocks.h"

#include "printing/print_records.h"

namespace tavi {

GlobalHandle newRecordBlock(GlobalMemory& memory, std::span<const uint8_t> bytes) {
  const GlobalHandle handle = memory.allocate(kRecordBlockFlags, bytes.size());
  const std::span<uint8_t> block = memory.lock(handle);
  if (block.empty()) return handle;
  std::copy_n(bytes.begin(), std::min(bytes.size(), block.size()), block.begin());
  memory.unlock(handle);
  return handle;
}

}  // namespace tavi
