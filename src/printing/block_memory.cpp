#include "printing/block_memory.h"

namespace tavi {

GlobalHandle BlockMemory::allocate(uint32_t flags, size_t size) {
  if (exhausted_) return 0;
  allocationFlags_.push_back(flags);
  const GlobalHandle handle = next_;
  next_ += kHandleStep;
  const uint8_t fill = (flags & kGmemZeroInit) != 0 ? 0 : kUninitialised;
  blocks_.emplace(handle, Block{std::vector<uint8_t>(size, fill), 0});
  return handle;
}

std::span<uint8_t> BlockMemory::lock(GlobalHandle handle) {
  const auto it = blocks_.find(handle);
  if (it == blocks_.end()) return {};
  ++it->second.locks;
  return it->second.bytes;
}

bool BlockMemory::unlock(GlobalHandle handle) {
  const auto it = blocks_.find(handle);
  if (it == blocks_.end() || it->second.locks == 0) return false;
  return --it->second.locks > 0;
}

GlobalHandle BlockMemory::free(GlobalHandle handle) {
  return blocks_.erase(handle) == 1 ? 0 : handle;
}

int BlockMemory::lockCount(GlobalHandle handle) const {
  const auto it = blocks_.find(handle);
  return it == blocks_.end() ? -1 : it->second.locks;
}

}  // namespace tavi
