// Keyword colouring: keywords blue and bold, everything else black and regular, one line
// or one span around the caret at a time. Colours are applied through the editor's
// selection, and the caret is put back at the position given.
#pragma once

#include <cstdint>

namespace tavi {

class TaviColorText;

// Recolours the line of position p; keywords only while m_bKeywordHighlight is on. Clears
// m_bTrackChanges while it works and m_bTextChanged at its end; gives the editor the
// focus unless the host is still loading.
void ColorLine(TaviColorText& control, int32_t& p);

// Recolours the keyword span around p (see FindKeywordSpan). Never fails: every step
// that fails is skipped.
void ColorSpan(TaviColorText& control, int32_t& p);

// Recolours every line from the line of `from` to the line of `to` in one pass, with the
// result ColorLine gives line by line: each line reset to plain, its keywords blue and
// bold while m_bKeywordHighlight is on. Journals nothing and leaves the selection, the
// hide-selection state, m_bTrackChanges and the focus as they were.
void ColourLines(TaviColorText& control, int32_t from, int32_t to);

}  // namespace tavi
