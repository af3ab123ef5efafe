#include "headless/us_keyboard.h"

#include <array>

namespace tavi::headless {

namespace {

struct KeyChars {
  int16_t virtualKey;
  char16_t plain;
  char16_t shifted;
};

// Digits and punctuation: the character without and with Shift.
constexpr std::array<KeyChars, 21> kKeys = {{
    {48, u'0', u')'},   {49, u'1', u'!'},  {50, u'2', u'@'},  {51, u'3', u'#'},   {52, u'4', u'$'},
    {53, u'5', u'%'},   {54, u'6', u'^'},  {55, u'7', u'&'},  {56, u'8', u'*'},   {57, u'9', u'('},
    {186, u';', u':'},  {187, u'=', u'+'}, {188, u',', u'<'}, {189, u'-', u'_'},  {190, u'.', u'>'},
    {191, u'/', u'?'},  {192, u'`', u'~'}, {219, u'[', u'{'}, {220, u'\\', u'|'}, {221, u']', u'}'},
    {222, u'\'', u'"'},
}};

// The numeric keypad (Num Lock on): digits 96..105 and the operators.
std::optional<char16_t> keypadChar(int virtualKey) {
  if (virtualKey >= 96 && virtualKey <= 105) return static_cast<char16_t>(u'0' + virtualKey - 96);
  switch (virtualKey) {
    case 106:
      return u'*';
    case 107:
      return u'+';
    case 109:
      return u'-';
    case 110:
      return u'.';
    case 111:
      return u'/';
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<KeyStroke> keyForChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return KeyStroke{static_cast<int16_t>(c - u'a' + 65), false};
  if (c >= u'A' && c <= u'Z') return KeyStroke{static_cast<int16_t>(c), true};
  if (c == u' ') return KeyStroke{vk::kSpace, false};
  if (c == u'\n') return KeyStroke{vk::kReturn, false};
  if (c == u'\t') return KeyStroke{vk::kTab, false};
  for (const KeyChars& key : kKeys) {
    if (key.plain == c) return KeyStroke{key.virtualKey, false};
    if (key.shifted == c) return KeyStroke{key.virtualKey, true};
  }
  return std::nullopt;
}

std::optional<char16_t> charForKey(int virtualKey, bool shift, bool capsLock) {
  if (virtualKey >= 65 && virtualKey <= 90) {
    const bool upper = shift != capsLock;
    return static_cast<char16_t>(upper ? virtualKey : virtualKey - 65 + u'a');
  }
  if (virtualKey == vk::kSpace) return u' ';
  for (const KeyChars& key : kKeys) {
    if (key.virtualKey == virtualKey) return shift ? key.shifted : key.plain;
  }
  return keypadChar(virtualKey);
}

}  // namespace tavi::headless
