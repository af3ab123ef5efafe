// Recording user edits as whole-text snapshots in the undo journal.
#pragma once

namespace tavi {

class TaviColorText;

// Appends a snapshot of the surface (when tracking is on), emptying the redo journal.
void PushUndoState(TaviColorText& control);
// Empties both journals down to one snapshot of the current text (when tracking is on).
void ResetUndo(TaviColorText& control);
// The journal steps of the change handling. Returns false when the change handling must
// end here: the journal holds a single snapshot, or the edit removed more than one
// character at once.
bool RecordUserEdit(TaviColorText& control);

}  // namespace tavi
