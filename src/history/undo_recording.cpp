#include "history/undo_recording.h"

#include "history/change.h"
#include "shell/control.h"

namespace tavi {

namespace {

void emptyRedo(Journal& redo) {
  for (int32_t n = redo.count(); n > 0; --n) redo.removeFirst();
}

void appendSnapshot(TaviColorText& control) {
  const EditSurface& editor = *control.widgets().editor;
  control.m_colUndo.add(makeSnapshot(editor.selStart(), editor.text(), control.m_colUndo));
}

}  // namespace

void PushUndoState(TaviColorText& control) {
  if (!control.m_bTrackChanges) return;
  emptyRedo(control.m_colRedo);
  appendSnapshot(control);
}

void ResetUndo(TaviColorText& control) {
  if (!control.m_bTrackChanges) return;
  emptyRedo(control.m_colRedo);
  while (control.m_colUndo.count() > 0) control.m_colUndo.removeFirst();
  PushUndoState(control);
}

bool RecordUserEdit(TaviColorText& control) {
  emptyRedo(control.m_colRedo);
  appendSnapshot(control);
  Journal& undo = control.m_colUndo;
  if (undo.count() < 2) return false;
  const UndoElement& previous = undo.item(undo.count() - 1);
  const UndoElement& newest = undo.item(undo.count());
  if (newest.TextLen < previous.TextLen) {
    // Only a deletion of at most one character goes on to the warning and onChange.
    if (change(previous.Text.str(), newest.Text.str()).removed.size() > 1) return false;
  }
  return true;
}

}  // namespace tavi
