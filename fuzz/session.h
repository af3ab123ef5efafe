// One fuzz input played against the control: the bytes decode into a sequence of operations
// on one or two controls of a headless platform (dispatch calls by name and by DISPID with
// arbitrary Variants, keys, typing, the mouse, scrolling, resizing, menus, the clipboard and
// the printers), and the invariants are checked after every operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tavi::fuzz {

// Raised (and reported by the fuzz target as a crash) when an invariant does not hold.
struct InvariantFailure {
  std::string message;
};

// Plays `input` from the start. Throws InvariantFailure; returns the number of operations.
int64_t play(std::span<const uint8_t> input);

}  // namespace tavi::fuzz
