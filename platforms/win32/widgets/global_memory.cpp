#include "win32/widgets/global_memory.h"

namespace tavi::win32 {

Win32GlobalMemory::~Win32GlobalMemory() {
  for (const auto& [token, block] : blocks_) GlobalFree(block);
}

GlobalHandle Win32GlobalMemory::nextToken() {
  while (next_ == 0 || blocks_.contains(next_)) next_ += kTokenStep;
  const GlobalHandle token = next_;
  next_ += kTokenStep;
  return token;
}

GlobalHandle Win32GlobalMemory::allocate(uint32_t flags, size_t size) {
  HGLOBAL block = GlobalAlloc(flags, size);
  if (block == nullptr) return 0;
  const GlobalHandle token = nextToken();
  blocks_.emplace(token, block);
  return token;
}

HGLOBAL Win32GlobalMemory::native(GlobalHandle handle) const {
  const auto it = blocks_.find(handle);
  return it == blocks_.end() ? nullptr : it->second;
}

std::span<uint8_t> Win32GlobalMemory::lock(GlobalHandle handle) {
  HGLOBAL block = native(handle);
  if (block == nullptr) return {};
  auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  return {bytes, GlobalSize(block)};
}

bool Win32GlobalMemory::unlock(GlobalHandle handle) {
  HGLOBAL block = native(handle);
  return block != nullptr && GlobalUnlock(block) != FALSE;
}

GlobalHandle Win32GlobalMemory::free(GlobalHandle handle) {
  HGLOBAL block = native(handle);
  if (block == nullptr || GlobalFree(block) != nullptr) return handle;
  blocks_.erase(handle);
  return 0;
}

GlobalHandle Win32GlobalMemory::adopt(HGLOBAL block) {
  if (block == nullptr) return 0;
  for (const auto& [token, known] : blocks_)
    if (known == block) return token;
  const GlobalHandle token = nextToken();
  blocks_.emplace(token, block);
  return token;
}

void Win32GlobalMemory::forget(GlobalHandle handle) { blocks_.erase(handle); }

}  // namespace tavi::win32
