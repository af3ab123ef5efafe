// The US keyboard layout: which virtual key (and whether Shift) types a character, and
// which character a key types. The one key-code table of the headless platform.
#pragma once

#include "shell/keys.h"

#include <cstdint>
#include <optional>

namespace tavi::headless {

// Virtual keys the headless surface acts on.
// The key of a character that no key of the layout types (as injected Unicode input).

struct KeyStroke {
  int16_t virtualKey = 0;
  bool shift = false;  // the layout needs Shift for it (Caps Lock aside)
};

// The key that types `c` on a US keyboard: letters 65..90, digits 48..57, space 32,
// punctuation on the OEM keys 186..222; LF is Enter and TAB is Tab. Other characters
// have no key.
std::optional<KeyStroke> keyForChar(char16_t c);

// The character a key types with the given Shift and Caps Lock (Caps Lock affects
// letters only); nothing for keys that type no character. Covers the keys keyForChar
// gives and the numeric keypad.
std::optional<char16_t> charForKey(int virtualKey, bool shift, bool capsLock);

}  // namespace tavi::headless
