// The number of the runtime error a piece of code throws.
#pragma once

#include "shell/runtime_error.h"

namespace tavi::testing {

// The number of the RuntimeError that `f` throws, or 0 when it throws none.
template <typename F>
int errorNumberOf(F&& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tavi::testing
