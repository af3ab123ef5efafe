// Shift+Tab outdent (ShiftTabOutdent): the lines of the selection lose one level of
// indentation, as one undo step.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/text.h"

namespace tavi {

class TaviColorText;

// A stretch of leading indentation that the outdent removes.
struct IndentCut {
  int32_t at = 0;      // offset of the line's first character
  int32_t length = 0;  // 1 for a tab, 1 to 4 for blanks
};

// The cuts for the lines touched by the selection [start, end): one tab, or else up to four
// blanks, at the start of each line that begins with one. A selection that ends at the
// start of a line leaves that line alone; with nothing selected the caret's line is
// outdented. Lines are separated by CR LF.
std::vector<IndentCut> OutdentCuts(TextView text, int32_t start, int32_t end);

// Outdents the selected lines (the caret's line with nothing selected) and selects the same
// text again, moved with it. The cuts are made one by one without the journal and then
// journalled together as one user edit; when no line has leading indentation nothing
// changes and nothing is journalled.
void OutdentSelection(TaviColorText& control);

}  // namespace tavi
