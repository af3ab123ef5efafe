// Qt's keys and modifiers as the control's virtual-key codes and Shift masks.
#include <gtest/gtest.h>

#include "qt/key_codes.h"
#include "shell/keys.h"

namespace tavi::qt {
namespace {

struct KeyRow {
  int qtKey;
  int16_t code;
};

TEST(QtKeyCodesTest, KeysTheControlListensForHaveTheirCodes) {
  const KeyRow rows[] = {
      {Qt::Key_A, 65},
      {Qt::Key_Z, 90},
      {Qt::Key_0, 48},
      {Qt::Key_9, 57},
      {Qt::Key_C, vk::kC},
      {Qt::Key_V, vk::kV},
      {Qt::Key_X, vk::kX},
      {Qt::Key_F1, vk::kF1},
      {Qt::Key_F5, vk::kF5},
      {Qt::Key_F12, vk::kF12},
      {Qt::Key_Left, vk::kLeft},
      {Qt::Key_Up, vk::kUp},
      {Qt::Key_Right, vk::kRight},
      {Qt::Key_Down, vk::kDown},
      {Qt::Key_PageUp, vk::kPrior},
      {Qt::Key_PageDown, vk::kNext},
      {Qt::Key_Home, vk::kHome},
      {Qt::Key_End, vk::kEnd},
      {Qt::Key_Insert, vk::kInsert},
      {Qt::Key_Delete, vk::kDelete},
      {Qt::Key_Return, vk::kReturn},
      {Qt::Key_Enter, vk::kReturn},
      {Qt::Key_Tab, vk::kTab},
      {Qt::Key_Backtab, vk::kTab},  // Shift+Tab is still the Tab key
      {Qt::Key_Backspace, vk::kBack},
      {Qt::Key_Escape, vk::kEscape},
      {Qt::Key_Space, vk::kSpace},
      {Qt::Key_Shift, vk::kShift},
      {Qt::Key_Control, vk::kControl},
      {Qt::Key_Alt, vk::kMenu},
      {Qt::Key_CapsLock, vk::kCapital},
      {Qt::Key_Menu, vk::kApps},
  };
  for (const KeyRow& row : rows) {
    EXPECT_EQ(virtualKeyOf(row.qtKey, Qt::NoModifier, false), row.code) << "Qt key " << row.qtKey;
    // Holding a modifier changes no key's code.
    EXPECT_EQ(virtualKeyOf(row.qtKey, Qt::ShiftModifier | Qt::ControlModifier, false), row.code)
        << "Qt key " << row.qtKey;
  }
}

TEST(QtKeyCodesTest, ShiftedCharactersKeepTheCodeOfTheirKey) {
  // A US keyboard: "!" is Shift+1, ":" Shift+;, "?" Shift+/ ...
  const KeyRow rows[] = {
      {Qt::Key_Exclam, 49},     {Qt::Key_ParenLeft, 57},   {Qt::Key_ParenRight, 48},
      {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},      {Qt::Key_Slash, 191},
      {Qt::Key_Question, 191},  {Qt::Key_Underscore, 189}, {Qt::Key_Minus, 189},
      {Qt::Key_Period, 190},    {Qt::Key_Greater, 190},    {Qt::Key_QuoteDbl, 222},
  };
  for (const KeyRow& row : rows)
    EXPECT_EQ(virtualKeyOf(row.qtKey, Qt::ShiftModifier, true), row.code) << "Qt key " << row.qtKey;
}

TEST(QtKeyCodesTest, TheKeypadHasCodesOfItsOwn) {
  const KeyRow rows[] = {
      {Qt::Key_0, 96},
      {Qt::Key_5, 101},
      {Qt::Key_9, 105},
      {Qt::Key_Asterisk, 106},
      {Qt::Key_Plus, 107},
      {Qt::Key_Minus, 109},
      {Qt::Key_Period, 110},
      {Qt::Key_Slash, 111},
      {Qt::Key_Enter, vk::kReturn},  // keypad keys without a code of their own keep theirs
      {Qt::Key_Home, vk::kHome},
  };
  for (const KeyRow& row : rows)
    EXPECT_EQ(virtualKeyOf(row.qtKey, Qt::KeypadModifier, true), row.code)
        << "Qt key " << row.qtKey;
  EXPECT_EQ(virtualKeyOf(Qt::Key_5, Qt::NoModifier, true), 53) << "the digit row is not the pad";
}

TEST(QtKeyCodesTest, UnknownKeysAreTheInjectedCharacterOnlyWhenTheyTypeText) {
  EXPECT_EQ(virtualKeyOf(0x00E9, Qt::NoModifier, true), vk::kPacket);  // é
  EXPECT_EQ(virtualKeyOf(0x20AC, Qt::NoModifier, true), vk::kPacket);  // €
  EXPECT_EQ(virtualKeyOf(Qt::Key_VolumeUp, Qt::NoModifier, false), 0);
  EXPECT_EQ(virtualKeyOf(Qt::Key_unknown, Qt::NoModifier, false), 0);
}

TEST(QtKeyCodesTest, TheShiftMaskIsTheSumOfTheModifiersHeld) {
  EXPECT_EQ(shiftMaskOf(Qt::NoModifier, 65, true), 0);
  EXPECT_EQ(shiftMaskOf(Qt::ShiftModifier, 65, true), kShiftMask);
  EXPECT_EQ(shiftMaskOf(Qt::ControlModifier, 65, false), kCtrlMask);
  EXPECT_EQ(shiftMaskOf(Qt::ShiftModifier | Qt::ControlModifier, 65, true), 3);
  EXPECT_EQ(shiftMaskOf(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 65, true), 7);
  EXPECT_EQ(shiftMaskOf(Qt::KeypadModifier | Qt::MetaModifier, 65, true), 0)
      << "neither the keypad nor the Windows key is a Shift bit";
}

TEST(QtKeyCodesTest, AModifierKeyCountsItselfWhenPressedAndNotWhenReleased) {
  // Whether or not Qt counts the modifier key itself as held, its own bit is in the mask
  // when it goes down and out of it when it comes up.
  EXPECT_EQ(shiftMaskOf(Qt::NoModifier, vk::kShift, true), kShiftMask);
  EXPECT_EQ(shiftMaskOf(Qt::ShiftModifier, vk::kShift, false), 0);
  EXPECT_EQ(shiftMaskOf(Qt::NoModifier, vk::kControl, true), kCtrlMask);
  EXPECT_EQ(shiftMaskOf(Qt::ControlModifier, vk::kControl, false), 0);
  EXPECT_EQ(shiftMaskOf(Qt::NoModifier, vk::kMenu, true), kAltMask);
  EXPECT_EQ(shiftMaskOf(Qt::AltModifier, vk::kMenu, false), 0);
  // Another modifier still held stays in the mask.
  EXPECT_EQ(shiftMaskOf(Qt::ControlModifier, vk::kShift, true), 3);
  EXPECT_EQ(shiftMaskOf(Qt::ShiftModifier | Qt::ControlModifier, vk::kShift, false), kCtrlMask);
}

}  // namespace
}  // namespace tavi::qt
