#include "history/undo_recording.h"

#include <optional>
#include <utility>

#include "history/change.h"
#include "shell/control.h"

namespace tavi {

namespace {

void emptyRedo(Journal& redo) {
  for (int32_t n = redo.count(); n > 0; --n) redo.removeFirst();
}

// The surface's change since `newest` was taken, when the surface reports it as the only
// one and the lengths agree.
std::optional<EditSurface::TextChange> onlyChangeSince(const EditSurface& editor,
                                                       const UndoElement& newest) {
  const std::optional<EditSurface::TextChange> change = editor.lastTextChange();
  if (!change || newest.SurfaceChange == 0 || change->serial != newest.SurfaceChange + 1)
    return std::nullopt;
  if (change->at + change->removed > newest.TextLen ||
      newest.TextLen - change->removed + change->inserted != editor.textLength())
    return std::nullopt;
  return change;
}

// A snapshot of the surface. When the surface's one change since the newest snapshot is
// known, the snapshot is the newest one with that change applied, reading only the inserted
// characters: a keystroke costs the same in a short text and a long one. Otherwise the whole
// text is read and shares storage with the newest snapshot where it agrees with it.
UndoElement snapshotOfSurface(const TaviColorText& control) {
  const EditSurface& editor = *control.widgets().editor;
  const Journal& undo = control.m_colUndo;
  const std::optional<EditSurface::TextChange> now = editor.lastTextChange();
  const uint64_t serial = now ? now->serial : 0;
  if (undo.count() > 0) {
    const UndoElement& newest = undo.last();
    if (const auto change = onlyChangeSince(editor, newest)) {
      SharedText text = newest.Text.replaced(change->at, change->at + change->removed,
                                             editor.textRange(change->at, change->inserted));
      const int32_t length = text.length();
      return UndoElement{editor.selStart(), length, std::move(text), serial};
    }
  }
  UndoElement element = makeSnapshot(editor.selStart(), editor.text(), undo);
  element.SurfaceChange = serial;
  return element;
}

// Whether a deletion took at most one character from `previous` to give `newest`, by the
// history's text comparison. When the surface's one change between them removed a single
// character and inserted none, the comparison would find that character: no need to run it.
bool removedAtMostOne(const EditSurface& editor, const UndoElement& previous,
                      const UndoElement& newest) {
  const std::optional<EditSurface::TextChange> edit = editor.lastTextChange();
  if (edit && previous.SurfaceChange != 0 && edit->serial == previous.SurfaceChange + 1 &&
      newest.SurfaceChange == edit->serial && edit->removed == 1 && edit->inserted == 0)
    return true;
  return change(previous.Text.str(), newest.Text.str()).removed.size() <= 1;
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
  // Only a deletion of at most one character goes on to the warning and onChange. A text
  // shorter by more than one lost more than one.
  if (newest.TextLen < previous.TextLen)
    return removedAtMostOne(*control.widgets().editor, previous, newest);
  return true;
}

}  // namespace tavi
