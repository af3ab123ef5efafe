// Widget sizes cannot be negative, on every platform: setting one is an invalid property
// value (error 380), which the control's layout expects and skips.
#pragma once

#include <cstdint>

#include "shell/runtime_error.h"

namespace tavi {

inline int32_t checkedSize(int32_t size) {
  if (size < 0) throw RuntimeError(err::kInvalidPropertyValue);
  return size;
}

}  // namespace tavi
