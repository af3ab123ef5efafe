// For the routines that skip a failing step and go on with the next (span colouring, the
// focus-gained handling, the layout): runs one step and swallows its failure.
#pragma once

#include <exception>

namespace tavi {

template <typename Step>
void skipOnFailure(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace tavi
