// Dialog records in global memory blocks: a record read out of the block a handle names,
// and a new block that holds a record's bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "shell/widgets/printer.h"

namespace tavi {

// A copy of the record in the block: the block's bytes, cut to the record's size or
// zero-filled up to it. Missing when the handle names no block.
template <typename Record>
std::optional<Record> readRecordBlock(GlobalMemory& memory, GlobalHandle handle) {
  const std::span<uint8_t> block = memory.lock(handle);
  if (block.empty()) return std::nullopt;
  Record record{};
  std::copy_n(block.begin(), std::min(block.size(), record.size()), record.begin());
  memory.unlock(handle);
  return record;
}

// A new movable, zero-filled block holding `bytes`; its handle, 0 when none could be had.
// A block that cannot be locked is returned as allocated.
GlobalHandle newRecordBlock(GlobalMemory& memory, std::span<const uint8_t> bytes);

}  // namespace tavi
