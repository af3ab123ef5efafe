// The Undo and Redo commands: each moves one snapshot between the undo and redo journals and
// edits only the stretch of the surface's text in which the two texts differ.
#pragma once

#include "shell/variant.h"

namespace tavi {

class TaviColorText;

// Takes back the newest recorded edit when the undo journal holds at least 3 snapshots and
// tracking is on; always repaints the gutter, sets m_bChange and raises onEvent 1000.
// Returns Empty.
Variant Undo(TaviColorText& control);
// Restores the snapshot that the last Undo took back when there is one and tracking is on;
// always repaints the gutter, sets m_bChange and gives the surface the focus. Returns Empty.
Variant Redo(TaviColorText& control);

}  // namespace tavi
