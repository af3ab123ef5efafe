// The parameter hint: a one-line text next to the caret for the keyword just typed or
// chosen from the completion list.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

class TaviColorText;

// Space released with the hint hidden: looks for a keyword in the window before the caret.
void HintSearch(TaviColorText& control);
// Shows the hint of list position `index` at the caret. With HideEmptyHint on, an empty
// hint text shows no box: a hint showing is hidden instead.
void ShowHintForIndex(TaviColorText& control, int32_t index);
void HideHint(TaviColorText& control);

// The hint text of list position `index`: the host's text for its keyword if it set one,
// else the thread's table. Throws error 9 for a position the table does not have.
const Text& HintTextFor(const TaviColorText& control, int32_t index);
// Sets (or, with an empty hint, removes) this control's own hint text for a keyword of
// the vocabulary; a word that is no keyword (same case) fails with error 5.
void SetKeywordHint(TaviColorText& control, TextView keyword, TextView hint);

}  // namespace tavi
