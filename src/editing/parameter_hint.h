// The parameter hint: a one-line text next to the caret for the keyword just typed or
// chosen from the completion list.
#pragma once

#include <cstdint>

namespace tavi {

class TaviColorText;

// Space released with the hint hidden: looks for a keyword in the window before the caret.
void HintSearch(TaviColorText& control);
void ShowHintForIndex(TaviColorText& control, int32_t index);
void HideHint(TaviColorText& control);

}  // namespace tavi
