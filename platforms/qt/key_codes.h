// The one key-code table of the Qt platform: Qt's keys and modifiers as the virtual-key
// codes and the Shift mask that the control's key notifications carry (shell/keys.h).
#pragma once

#include <Qt>

#include <cstdint>

namespace tavi::qt {

// The virtual-key code of a Qt key; keypad keys have codes of their own. A key that
// types a character but has no code here is the injected-character key (vk::kPacket);
// other unknown keys give 0.
int16_t virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, bool typesText);

// The Shift mask (1 Shift, 2 Ctrl, 4 Alt) of the modifiers held. For the press of a
// modifier key its own bit is included, for its release left out, as the control's
// widgets report them.
int16_t shiftMaskOf(Qt::KeyboardModifiers modifiers, int16_t virtualKey, bool pressed);

}  // namespace tavi::qt
