// Global memory on Windows: real GlobalAlloc blocks behind the 32-bit handles that the
// dialog records carry. An HGLOBAL is pointer-sized and need not fit 32 bits on 64-bit
// Windows, so the handles given out are tokens of a table that maps each to its HGLOBAL; the
// same table runs on 32-bit Windows, so that no code depends on the pointer size.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "shell/widgets/printer.h"

namespace tavi::win32 {

class Win32GlobalMemory final : public GlobalMemory {
 public:
  Win32GlobalMemory() = default;
  // Frees the blocks still in the table.
  ~Win32GlobalMemory() override;
  Win32GlobalMemory(const Win32GlobalMemory&) = delete;
  Win32GlobalMemory& operator=(const Win32GlobalMemory&) = delete;

  GlobalHandle allocate(uint32_t flags, size_t size) override;
  // The whole block (GlobalSize bytes, which may be more than was asked for).
  std::span<uint8_t> lock(GlobalHandle handle) override;
  bool unlock(GlobalHandle handle) override;
  GlobalHandle free(GlobalHandle handle) override;

  // The block a token names; null for 0 and for a token that names no block.
  HGLOBAL native(GlobalHandle handle) const;
  // The token of a block that the table does not hold yet (one that a dialog allocated), or
  // its token when it does; 0 for null.
  GlobalHandle adopt(HGLOBAL block);
  // Drops a token without freeing its block (a block that its new owner frees).
  void forget(GlobalHandle handle);
  // Blocks in the table.
  size_t liveBlocks() const { return blocks_.size(); }

 private:
  GlobalHandle nextToken();

  // Tokens count up in steps of 8 from 0x1000, as the headless platform's handles do, so
  // that the records handed to a dialog compare across platforms; they wrap around past 0
  // and past live tokens, so a token is not given out again while it names a block.
  static constexpr GlobalHandle kFirstToken = 0x1000;
  static constexpr GlobalHandle kTokenStep = 8;

  std::map<GlobalHandle, HGLOBAL> blocks_;
  GlobalHandle next_ = kFirstToken;
};

}  // namespace tavi::win32
