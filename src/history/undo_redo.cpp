#include "history/undo_redo.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "gutter/gutter.h"
#include "history/change.h"
#include "history/undo_recording.h"
#include "shell/control.h"

namespace tavi {

namespace {

// The edit that turns the surface's text into `target`: delete `deleteCount` characters
// at `start`, then insert `insert` there.
struct StepEdit {
  int32_t start = 0;
  int32_t deleteCount = 0;
  Text insert;
};

// `change` is exact whenever its count is not negative, and its stretch and caret are then
// used as they are. A negative count comes from a deletion inside a run of one repeated
// character ("   x" to "  x"); there the equal leading and trailing parts overlap, and the
// edit is taken from a comparison that keeps them apart instead.
StepEdit editTowards(TextView target, TextView surface) {
  ChangeResult r = change(target, surface);
  if (r.changeNum >= 0) return {r.start, r.changeNum, std::move(r.removed)};
  const size_t la = target.size();
  const size_t lb = surface.size();
  const size_t room = std::min(la, lb);
  size_t prefix = 0;
  while (prefix < room && target[prefix] == surface[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < room - prefix && target[la - 1 - suffix] == surface[lb - 1 - suffix]) ++suffix;
  return {static_cast<int32_t>(prefix), static_cast<int32_t>(lb - suffix - prefix),
          Text(target.substr(prefix, la - suffix - prefix))};
}

// Whether `offset` stands between the two code units of a CR LF or a surrogate pair.
bool insideUnit(TextView text, size_t offset) {
  return offset > 0 && offset < text.size() && formsOneUnit(text[offset - 1], text[offset]);
}

// The comparison can cut between a CR and its LF ("a\r\nb" to "a\r\n\r\nb" inserts "\n\r"
// at 2), and the surface never splits a unit: it would widen such a stretch and convert
// the lone breaks, and the text would not come out as the snapshot's. So the edit is
// widened first: its start moves back over a split unit and its end forward, taking the
// characters passed over into both what is deleted and what is inserted (they are the same
// in both texts). The start also moves back where the deletion alone would join a lone
// high and a lone low surrogate, since the insertion at the start would then split them.
// The surface is then asked only for whole-unit edits, which it does exactly. `surface` is
// the text the edit is applied to, `target` the text it gives.
StepEdit wholeUnits(StepEdit edit, TextView surface, TextView target) {
  auto start = static_cast<size_t>(edit.start);
  for (;;) {
    const size_t end = start + static_cast<size_t>(edit.deleteCount);
    const bool joins = edit.deleteCount > 0 && !edit.insert.empty() && start > 0 &&
                       end < surface.size() && formsOneUnit(surface[start - 1], surface[end]);
    if (insideUnit(surface, start) || insideUnit(target, start) || joins) {
      --start;
      edit.insert.insert(edit.insert.begin(), surface[start]);
    } else if (insideUnit(surface, end) || insideUnit(target, start + edit.insert.size())) {
      edit.insert.push_back(surface[end]);
    } else {
      break;
    }
    ++edit.deleteCount;
  }
  edit.start = static_cast<int32_t>(start);
  return edit;
}

// Deletes and reinserts on the surface with the selection hidden. The caret ends at the start
// of the reinserted text, or at the edit's start when nothing was reinserted.
void applyEdit(TaviColorText& control, const StepEdit& edit) {
  EditSurface& editor = *control.widgets().editor;
  editor.setHideSelection(true);
  if (edit.deleteCount > 0) {
    editor.setSelStart(edit.start);
    editor.setSelLength(edit.deleteCount);
    editor.replaceSelection(u"");
  }
  if (!edit.insert.empty()) {
    editor.setSelStart(edit.start);
    // Text that was on the surface before comes back whole, even when the host has lowered
    // the maximum length since; the limit is for typing. The change handling sets it again.
    editor.setMaxLength(0);
    editor.replaceSelection(edit.insert);
    editor.setMaxLength(control.m_MaxLen);
    editor.setSelStart(editor.selStart() - static_cast<int32_t>(edit.insert.size()));
  }
  editor.setHideSelection(false);
}

// Undo works out its edit from the two newest undo snapshots, and Redo steps forward from the
// newest one; both need that snapshot to hold the surface's text. A change made while tracking
// was off (ReplaceAll, a command's own edit) leaves them apart. Such a change is recorded here
// first, as a user edit is: its snapshot is appended and, being a new state, it empties the
// redo journal. Undo then takes back exactly that change and a Redo brings it back, and a Redo
// in that state finds nothing to restore rather than overwriting the change. So no edit is
// ever applied to a text it was not computed for, and no text drops out of the history.
// Returns the surface's text.
Text recordUnrecordedChange(TaviColorText& control) {
  Text surface = control.widgets().editor->text();
  const Journal& undo = control.m_colUndo;
  // Deriving from the newest text compares it with the surface's leaf by leaf, without a
  // copy, and gives back that very text when nothing differs.
  const bool recorded = undo.count() > 0 && undo.last().Text.derive(surface) == undo.last().Text;
  if (!recorded) PushUndoState(control);
  return surface;
}

}  // namespace

Variant Undo(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  Journal& undo = control.m_colUndo;
  control.m_undoRun.end();  // the next keystroke starts a step of its own
  control.SetHourGlassCursor();
  int32_t reinserted = 0;
  // Two snapshots and an unrecorded change make the three that an Undo needs.
  if (control.m_bTrackChanges && undo.count() >= 2) {
    const Text surface = recordUnrecordedChange(control);
    if (undo.count() >= 3) {
      control.m_bTrackChanges = false;
      const Text previous = undo.item(undo.count() - 1).Text.str();
      const StepEdit edit = wholeUnits(editTowards(previous, surface), surface, previous);
      applyEdit(control, edit);
      reinserted = static_cast<int32_t>(edit.insert.size());
      control.m_colRedo.add(undo.last());
      undo.removeLast();
    }
  }
  const int32_t caret = editor.selStart();
  if (caret + reinserted > 0) editor.setSelStart(caret + reinserted);
  DrawLineNumbers(control);
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  control.SetArrowCursor();
  control.raiseEvent(event::kUndo);
  return Variant();
}

Variant Redo(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  Journal& redo = control.m_colRedo;
  control.m_undoRun.end();
  control.SetHourGlassCursor();
  int32_t reinserted = 0;
  if (control.m_bTrackChanges && redo.count() >= 1) {
    const Text surface = recordUnrecordedChange(control);
    if (redo.count() >= 1) {
      control.m_bTrackChanges = false;
      const Text target = redo.last().Text.str();
      const StepEdit edit = wholeUnits(editTowards(target, surface), surface, target);
      applyEdit(control, edit);
      reinserted = static_cast<int32_t>(edit.insert.size());
      control.m_colUndo.add(redo.last());
      redo.removeLast();
    }
  }
  editor.setSelStart(editor.selStart() + reinserted);
  DrawLineNumbers(control);
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  editor.setFocus();
  control.SetArrowCursor();
  return Variant();
}

}  // namespace tavi
