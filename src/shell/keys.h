// Virtual-key codes, the modifier mask and the mouse buttons of the key and mouse
// notifications, as the platform's widgets report them.
#pragma once

#include <cstdint>

namespace tavi {

namespace vk {
inline constexpr int16_t kBack = 8;
inline constexpr int16_t kTab = 9;
inline constexpr int16_t kReturn = 13;
inline constexpr int16_t kShift = 16;
inline constexpr int16_t kControl = 17;
inline constexpr int16_t kMenu = 18;  // Alt
inline constexpr int16_t kPause = 19;
inline constexpr int16_t kCapital = 20;  // Caps Lock
inline constexpr int16_t kEscape = 27;
inline constexpr int16_t kSpace = 32;
inline constexpr int16_t kPrior = 33;  // Page Up
inline constexpr int16_t kNext = 34;   // Page Down
inline constexpr int16_t kEnd = 35;
inline constexpr int16_t kHome = 36;
inline constexpr int16_t kLeft = 37;
inline constexpr int16_t kUp = 38;
inline constexpr int16_t kRight = 39;
inline constexpr int16_t kDown = 40;
inline constexpr int16_t kSnapshot = 44;  // Print Screen
inline constexpr int16_t kInsert = 45;
inline constexpr int16_t kDelete = 46;
inline constexpr int16_t kA = 65;
inline constexpr int16_t kC = 67;
inline constexpr int16_t kV = 86;
inline constexpr int16_t kX = 88;
inline constexpr int16_t kLWin = 91;
inline constexpr int16_t kApps = 93;  // menu key
inline constexpr int16_t kF1 = 112;
inline constexpr int16_t kF5 = 116;
inline constexpr int16_t kF12 = 123;
inline constexpr int16_t kNumLock = 144;
inline constexpr int16_t kScroll = 145;
inline constexpr int16_t kPacket = 231;  // a character typed without a key of its own
}  // namespace vk

// Modifier mask: compared as a whole number (Ctrl+Shift is 3).
inline constexpr int16_t kShiftMask = 1;
inline constexpr int16_t kCtrlMask = 2;
inline constexpr int16_t kAltMask = 4;

inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;

}  // namespace tavi
