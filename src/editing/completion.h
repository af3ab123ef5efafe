// The keyword completion list: opened with F1, narrowed by typing, entered with the
// navigation keys, committed with Space. Everything runs from the key release.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

class TaviColorText;

// Puts a floating widget of size (w, h) next to the caret: right of and below it, or to
// the left of or above it near the surface's edges. Returns the widget's (Left, Top).
struct Placement {
  int32_t left;
  int32_t top;
};
Placement PlaceAtCaret(const TaviColorText& control, int32_t width, int32_t height);

// The word before a caret: the characters back to the nearest blank or line feed. The
// caret is held as a 16-bit number; beyond its range there is no word.
Text WordBeforeCaret(TextView text, int32_t caret);

// Index of the first list entry that begins with `word` (case-sensitive), or -1.
int32_t FirstPrefixMatch(const TaviColorText& control, TextView word);

void OpenCompletionList(TaviColorText& control);                  // F1
void TypingAction(TaviColorText& control, int32_t releaseCaret);  // any other key
void EnterCompletionList(TaviColorText& control);                 // navigation while shown
void SpaceAction(TaviColorText& control);                         // commit or hint search
void HideCompletionList(TaviColorText& control);

}  // namespace tavi
