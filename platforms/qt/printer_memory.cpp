#include "qt/printer_memory.h"

namespace tavi::qt {

GlobalHandle QtGlobalMemory::allocate(uint32_t flags, size_t size) {
  const GlobalHandle handle = next_;
  next_ += kHandleStep;
  const uint8_t fill = (flags & kGmemZeroInit) != 0 ? 0 : kUninitialised;
  blocks_.emplace(handle, Block{std::vector<uint8_t>(size, fill), 0});
  return handle;
}

std::span<uint8_t> QtGlobalMemory::lock(GlobalHandle handle) {
  const auto it = blocks_.find(handle);
  if (it == blocks_.end()) return {};
  ++it->second.locks;
  return it->second.bytes;
}

bool QtGlobalMemory::unlock(GlobalHandle handle) {
  const auto it = blocks_.find(handle);
  if (it == blocks_.end() || it->second.locks == 0) return false;
  return --it->second.locks > 0;
}

GlobalHandle QtGlobalMemory::free(GlobalHandle handle) {
  return blocks_.erase(handle) == 1 ? 0 : handle;
}

}  // namespace tavi::qt
