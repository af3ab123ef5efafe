// Recording user edits as whole-text snapshots in the undo journal.
#pragma once

namespace tavi {

class TaviColorText;

// Appends a snapshot of the surface (when tracking is on), emptying the redo journal.
void PushUndoState(TaviColorText& control);
// Empties both journals down to one snapshot of the current text (when tracking is on).
void ResetUndo(TaviColorText& control);
// The two ways a change of the surface enters the undo journal; both empty the redo
// journal. A new step appends a snapshot of the surface; a continuation (undo by words: the
// next character of a word, the next Backspace of a run) replaces the newest snapshot, so
// the step it belongs to grows and Undo takes the whole step back.
void RecordAsNewStep(TaviColorText& control);
void RecordAsContinuation(TaviColorText& control);
// The journal steps of the change handling: the change is recorded as a new step, or as a
// continuation when UndoByWords is on and it continues the run of the newest step. Returns
// false when the change handling must end here: the journal holds a single snapshot, or the
// edit removed more than one character at once (judged against the text before this edit).
bool RecordUserEdit(TaviColorText& control);

}  // namespace tavi
