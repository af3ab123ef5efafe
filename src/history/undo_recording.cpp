#include "history/undo_recording.h"

#include <utility>

#include "history/change.h"
#include "shell/control.h"

namespace tavi {

namespace {

void emptyRedo(Journal& redo) {
  for (int32_t n = redo.count(); n > 0; --n) redo.removeFirst();
}

UndoElement snapshotOfSurface(const TaviColorText& control) {
  const EditSurface& editor = *control.widgets().editor;
  return makeSnapshot(editor.selStart(), editor.text(), control.m_colUndo);
}

}  // namespace

void RecordAsNewStep(TaviColorText& control) {
  emptyRedo(control.m_colRedo);
  control.m_colUndo.add(snapshotOfSurface(control));
}

void RecordAsContinuation(TaviColorText& control) {
  emptyRedo(control.m_colRedo);
  Journal& undo = control.m_colUndo;
  UndoElement newest = snapshotOfSurface(control);  // shares storage with the one it replaces
  undo.removeLast();
  undo.add(std::move(newest));
}

void PushUndoState(TaviColorText& control) {
  if (!control.m_bTrackChanges) return;
  RecordAsNewStep(control);
}

void ResetUndo(TaviColorText& control) {
  if (!control.m_bTrackChanges) return;
  emptyRedo(control.m_colRedo);
  while (control.m_colUndo.count() > 0) control.m_colUndo.removeFirst();
  PushUndoState(control);
}

bool RecordUserEdit(TaviColorText& control) {
  Journal& undo = control.m_colUndo;
  UndoRun& run = control.m_undoRun;
  // The edit is judged against the text before it, also when it joins the newest step.
  const UndoElement previous = undo.count() > 0 ? undo.last() : UndoElement{};
  const bool continued = control.UndoByWords && run.continues(undo.count());
  if (continued)
    RecordAsContinuation(control);
  else
    RecordAsNewStep(control);
  run.recorded(continued, undo.last().SelStart, undo.count());
  // A continuation always follows a step of its own, so it leaves at least two snapshots,
  // as the snapshot it stands for would have.
  if (undo.count() < 2) return false;
  const UndoElement& newest = undo.last();
  if (newest.TextLen < previous.TextLen) {
    // Only a deletion of at most one character goes on to the warning and onChange.
    if (change(previous.Text.str(), newest.Text.str()).removed.size() > 1) return false;
  }
  return true;
}

}  // namespace tavi
