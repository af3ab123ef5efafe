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
// Commit: the partly typed word before the caret, ending `typedBehind` characters before
// it (1 for the Space just typed, 0 for Enter), becomes the selected entry as one
// journalled change; the entry's hint shows and the list hides.
void CommitSelectedEntry(TaviColorText& control, int32_t typedBehind);

// ListKeepsKeys: while the list shows, its keys stay with it and the focus stays in the
// text. Up, Down, Page Up, Page Down, Home and End move its selection when they go down
// (the surface never sees them, the caret stays); Enter with an entry selected commits it
// when it goes up, without a line break.
bool ListTakesKey(const TaviColorText& control, int16_t keyCode, int16_t shift);
void ListKeyPressed(TaviColorText& control, int16_t keyCode);
void ListKeyReleased(TaviColorText& control, int16_t keyCode);

}  // namespace tavi
