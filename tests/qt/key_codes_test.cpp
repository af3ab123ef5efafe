// Qt's keys and modifiers as the control's virtual-key codes and Shift masks.
#include <gtest/gtest.h>

#include <span>

#include "qt/key_codes.h"
#include "shell/keys.h"

namespace tavi::qt {
namespace {

struct KeyRow {
  int qtKey;
  int16_t code;
};

void expectCodes(std::span<const KeyRow> rows, Qt::KeyboardModifiers held, bool typesText) {
  for (const KeyRow& row : rows)
    EXPECT_EQ(virtualKeyOf(row.qtKey, held, typesText), row.code) << "Qt key " << row.qtKey;
}

// The letters, digits and caret, editing and function keys the scenarios press reach the
// control through this mapping on Qt (scenario-qt); here the keys they do not press.
TEST(QtKeyCodesTest, KeysHaveTheirVirtualKeyCodes) {
  const KeyRow keys[] = {{Qt::Key_F12, vk::kF12},
                         {Qt::Key_Enter, vk::kReturn},
                         {Qt::Key_Backtab, vk::kTab},
                         {Qt::Key_Shift, vk::kShift},
                         {Qt::Key_Control, vk::kControl},
                         {Qt::Key_Alt, vk::kMenu},
                         {Qt::Key_CapsLock, vk::kCapital},
                         {Qt::Key_Menu, vk::kApps},
                         {Qt::Key_VolumeUp, 0}};
  // Held modifiers change no key's code.
  for (const Qt::KeyboardModifiers held :
       {Qt::KeyboardModifiers(), Qt::ShiftModifier | Qt::ControlModifier})
    expectCodes(keys, held, false);
  // Shifted characters keep the code of their key (US layout); a character without a key
  // is the injected one.
  const KeyRow shifted[] = {
      {Qt::Key_Exclam, 49},     {Qt::Key_ParenLeft, 57},   {Qt::Key_ParenRight, 48},
      {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},      {Qt::Key_Slash, 191},
      {Qt::Key_Question, 191},  {Qt::Key_Underscore, 189}, {Qt::Key_Minus, 189},
      {Qt::Key_Period, 190},    {Qt::Key_Greater, 190},    {Qt::Key_QuoteDbl, 222},
      {0x00E9, vk::kPacket}};
  expectCodes(shifted, Qt::ShiftModifier, true);
  // The keypad has codes of its own; keys without one keep theirs.
  const KeyRow keypad[] = {{Qt::Key_0, 96},          {Qt::Key_9, 105},
                           {Qt::Key_Asterisk, 106},  {Qt::Key_Plus, 107},
                           {Qt::Key_Minus, 109},     {Qt::Key_Period, 110},
                           {Qt::Key_Slash, 111},     {Qt::Key_Enter, vk::kReturn},
                           {Qt::Key_Home, vk::kHome}};
  expectCodes(keypad, Qt::KeypadModifier, true);
}

TEST(QtKeyCodesTest, TheShiftMaskHoldsTheModifiersAndAModifierKeysOwnBitOnPress) {
  const Qt::KeyboardModifiers shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
  const struct {
    Qt::KeyboardModifiers modifiers;
    int16_t key;
    bool down;
    int16_t mask;
  } rows[] = {{ctrl, 65, false, kCtrlMask},
              {shift | ctrl | Qt::AltModifier, 65, true, 7},
              {Qt::KeypadModifier | Qt::MetaModifier, 65, true, 0},
              {Qt::NoModifier, vk::kShift, true, kShiftMask},
              {shift, vk::kShift, false, 0},
              {Qt::NoModifier, vk::kControl, true, kCtrlMask},
              {ctrl, vk::kControl, false, 0},
              {Qt::NoModifier, vk::kMenu, true, kAltMask},
              {Qt::AltModifier, vk::kMenu, false, 0},
              {ctrl, vk::kShift, true, 3},
              {shift | ctrl, vk::kShift, false, kCtrlMask}};
  for (const auto& row : rows)
    EXPECT_EQ(shiftMaskOf(row.modifiers, row.key, row.down), row.mask)
        << row.modifiers.toInt() << " key " << row.key << " down " << row.down;
}

}  // namespace
}  // namespace tavi::qt
