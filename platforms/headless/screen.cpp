#include "headless/screen.h"

#include <array>

namespace tavi {

using namespace headless;

namespace {

constexpr int32_t kUnknown = -1;

// 0x00BBGGRR values of the standard system colours; index 25 has no colour.
constexpr std::array<int32_t, 31> kSystemColors = {
    0xC8C8C8,  // 0 scroll bar
    0x000000,  // 1 desktop
    0xD1B499,  // 2 active caption
    0xDBCDBF,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xFCF7F4,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0xD77800,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xE1FFFF,  // 24 tooltip background
    kUnknown,  // 25
    0xCC6600,  // 26 hot-tracked item
    0xEAD1B9,  // 27 active caption gradient
    0xF2E4D7,  // 28 inactive caption gradient
    0xD77800,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

}  // namespace

int16_t HeadlessScreen::keyState(int virtualKey) const {
  int state = isKeyDown(virtualKey) ? 0x8000 : 0;
  if (virtualKey == vk::kCapital && capsLock_) state |= 1;
  return static_cast<int16_t>(static_cast<uint16_t>(state));
}

std::optional<int32_t> HeadlessScreen::systemColor(int index) const {
  if (index < 0 || index >= static_cast<int>(kSystemColors.size())) return std::nullopt;
  if (kSystemColors[index] == kUnknown) return std::nullopt;
  return kSystemColors[index];
}

int16_t HeadlessScreen::heldModifiers() const {
  int16_t mask = 0;
  if (isKeyDown(vk::kShift)) mask |= kShiftMask;
  if (isKeyDown(vk::kControl)) mask |= kCtrlMask;
  if (isKeyDown(vk::kMenu)) mask |= kAltMask;
  return mask;
}

}  // namespace tavi
