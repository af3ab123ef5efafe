// HighlightLine: selects a line of the editor, or the token that starts at a column of it,
// so that a host can show where a script error lies.
#pragma once

#include <cstdint>

#include "shell/variant.h"

namespace tavi {

class TaviColorText;

// line counts from 1; startPos counts characters of the line from 1, and 0 or less selects
// the whole line with its CR. Returns Empty and repaints the gutter, except when startPos
// lies beyond the line (then only the line's last character is selected). A line outside
// the text throws RuntimeError(err::kSubscript), after the selection has been made
// visible and, for a whole-line request, the caret moved to where the search for the line
// ended.
Variant HighlightLine(TaviColorText& control, int32_t& line, int32_t& startPos);

}  // namespace tavi
