// Where the word keys stop (Ctrl+Left and Ctrl+Right, and how far Ctrl+Backspace and
// Ctrl+Delete reach): the editing surface's word rule, written once for every platform.
// A word is a run of word characters (isWordChar) or a run of other characters
// (punctuation); blanks (space, tab) separate words, and a line break (CR LF, or a lone
// CR or LF) is a stop of its own. The text is anything indexable by offset (a string or
// a gap buffer) with its length given.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

enum class WordClass { Blank, Break, Word, Other };

inline WordClass wordClass(char16_t c) {
  if (c == kSpace || c == kTab) return WordClass::Blank;
  if (c == kCR || c == kLF) return WordClass::Break;
  return isWordChar(c) ? WordClass::Word : WordClass::Other;
}

// The width of the line break that ends just before `offset`: 2 for CR LF, 1 for a lone
// CR or LF, 0 for none.
template <typename Units>
int32_t breakWidthBefore(const Units& text, int32_t offset) {
  if (offset <= 0 || wordClass(text[offset - 1]) != WordClass::Break) return 0;
  return offset >= 2 && text[offset - 2] == kCR && text[offset - 1] == kLF ? 2 : 1;
}

// Ctrl+Right: the start of the next word, past the blanks after the current one; over a
// line break to the start of the next line; at the end of the text it stays.
template <typename Units>
int32_t nextWordStop(const Units& text, int32_t length, int32_t offset) {
  int32_t p = offset;
  if (p >= length) return length;
  const WordClass at = wordClass(text[p]);
  if (at == WordClass::Break)
    return p + 1 < length && text[p] == kCR && text[p + 1] == kLF ? p + 2 : p + 1;
  if (at != WordClass::Blank) {
    while (p < length && wordClass(text[p]) == at) ++p;
  }
  while (p < length && wordClass(text[p]) == WordClass::Blank) ++p;
  return p;
}

// Ctrl+Left: the start of the current word or, at a word start, of the previous one,
// past blanks; from the start of a line to before the line break above. Blanks that run
// back to the start of a line stop there.
template <typename Units>
int32_t previousWordStop(const Units& text, int32_t offset) {
  int32_t p = offset;
  if (p <= 0) return 0;
  if (const int32_t width = breakWidthBefore(text, p)) return p - width;
  while (p > 0 && wordClass(text[p - 1]) == WordClass::Blank) --p;
  if (p == 0 || breakWidthBefore(text, p) > 0) return p;
  const WordClass before = wordClass(text[p - 1]);
  while (p > 0 && wordClass(text[p - 1]) == before) --p;
  return p;
}

}  // namespace tavi
