// The headless screen: the screen mouse pointer, the keys held down, Caps Lock and the
// system colours. One per platform, shared by all its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <set>

#include "shell/keys.h"
#include "shell/widgets/environment.h"

namespace tavi {

namespace headless {}  // namespace headless

class HeadlessScreen final : public Screen {
 public:
  int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(int16_t pointer) override { mousePointer_ = pointer; }
  // High bit: the key is down; low bit: the key is toggled on (Caps Lock).
  int16_t keyState(int virtualKey) const override;
  // The Windows defaults for the indices 0 to 30; button face (15) 0xF0F0F0, button
  // shadow (16) 0xA0A0A0, window text (8) 0x000000.
  std::optional<int32_t> systemColor(int index) const override;

  void pressKey(int virtualKey) { down_.insert(virtualKey); }
  void releaseKey(int virtualKey) { down_.erase(virtualKey); }
  bool isKeyDown(int virtualKey) const { return down_.count(virtualKey) != 0; }
  // The modifier mask (kShiftMask, kCtrlMask, kAltMask) of the modifier keys held down.
  int16_t heldModifiers() const;

  bool capsLock() const { return capsLock_; }
  void setCapsLock(bool on) { capsLock_ = on; }

 private:
  int16_t mousePointer_ = 0;
  std::set<int> down_;
  bool capsLock_ = false;
};

}  // namespace tavi
