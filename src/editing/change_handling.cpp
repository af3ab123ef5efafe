#include "editing/change_handling.h"

#include "gutter/gutter.h"
#include "history/undo_recording.h"
#include "shell/control.h"
#include "shell/keys.h"
#include "shell/skip_on_failure.h"

namespace tavi {

void HandleGotFocus(TaviColorText& control) {
  // Each step goes on after a failed one.
  const Widgets& w = control.widgets();
  skipOnFailure([&] { w.frame->setTabStop(false); });
  skipOnFailure([&] { w.gutter->setTabStop(false); });
  skipOnFailure([&] { w.hint->setTabStop(false); });
  skipOnFailure([&] { w.list->setTabStop(false); });
}

void HandleLostFocus(TaviColorText& control) {
  const Widgets& w = control.widgets();
  w.editor->setHideSelection(false);
  if (w.screen->keyState(vk::kTab) < 0) w.editor->setFocus();
}

void HandleChange(TaviColorText& control) {
  const Widgets& w = control.widgets();
  EditSurface& editor = *w.editor;
  editor.setMaxLength(control.m_MaxLen);
  control.m_bAtMaxLen = editor.textLength() >= control.m_MaxLen;
  control.module().m_bTextChanged = true;
  if (!control.m_bTrackChanges) {
    // The control's own edits are not journalled; no later keystroke continues a step
    // across them.
    control.m_undoRun.end();
    return;
  }
  JournalUserEdit(control);
}

void EditWithoutJournal(TaviColorText& control, const std::function<void()>& edits) {
  const bool tracking = control.m_bTrackChanges;
  control.m_bTrackChanges = false;
  edits();
  control.m_bTrackChanges = tracking;
}

void JournalUserEdit(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  if (!RecordUserEdit(control)) return;
  editor.setMaxLength(control.m_MaxLen);
  if (editor.textLength() >= control.m_MaxLen) control.showMaximumSizeWarning();
  DrawLineNumbers(control);
  control.raiseChange();
}

}  // namespace tavi
