// Replace and replace-all.
#pragma once

#include "shell/text.h"
#include "shell/variant.h"

namespace tavi {

class TaviColorText;

// Replaces whatever the last find selected, as one journalled edit, and selects it.
Variant ReplaceSE(TaviColorText& control, TextView findText, TextView replaceText);
// Replaces every occurrence in one pass from the start, never searching inside a
// replacement; the replacements are not journalled.
Variant ReplaceAll(TaviColorText& control, TextView findText, TextView replaceText, bool matchCase);

}  // namespace tavi
