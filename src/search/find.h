// Find: the next occurrence of a search text, upwards or downwards from the search
// position m_lLastCaret, selected on the editing surface.
#pragma once

#include "shell/text.h"
#include "shell/variant.h"

namespace tavi {

class TaviColorText;

// Selects the next match; with no further match shows the finished or not-found message.
Variant FindSE(TaviColorText& control, TextView findText, bool matchCase, bool up);
// The same search; returns "" on a match, else the message text without showing it.
Text FindSE_New(TaviColorText& control, TextView findText, bool matchCase, bool up);
// After a replacement shorter than the search text, moves the search position back by
// the difference.
void AdjustFindPos(TaviColorText& control, TextView findText, TextView replaceText);

}  // namespace tavi
