// Text as the control sees it: UTF-16 code units, line breaks as CR LF (two units).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavi {

using Text = std::u16string;
using TextView = std::u16string_view;

inline constexpr char16_t kCR = u'\r';
inline constexpr char16_t kLF = u'\n';
inline constexpr char16_t kTab = u'\t';
inline constexpr char16_t kSpace = u' ';

// The two halves of a UTF-16 surrogate pair, which no widget may split.
inline bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// CR LF and a surrogate pair: two code units that no position may stand between.
inline bool formsOneUnit(char16_t first, char16_t second) {
  return (first == kCR && second == kLF) || (isHighSurrogate(first) && isLowSurrogate(second));
}

// UTF-8 <-> UTF-16 at the edges (JSON, file names, terminals). Unpaired surrogates
// survive the round trip as WTF-8; malformed UTF-8 becomes U+FFFD.
std::string toUtf8(TextView text);
Text fromUtf8(std::string_view text);

// Case folding used by case-insensitive comparisons: one code unit to its upper-case
// partner (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters).
char16_t upperCaseBeyondAscii(char16_t c);
inline char16_t upperCase(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
  return upperCaseBeyondAscii(c);
}
Text upperCase(TextView text);

// Word characters for whole-word matching: letters, digits and underscore. Inline for
// ASCII: every scan over the text asks it of each character.
bool isWordCharBeyondAscii(char16_t c);
inline bool isWordChar(char16_t c) {
  if (c < 0x80)
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
  return isWordCharBeyondAscii(c);
}

}  // namespace tavi
