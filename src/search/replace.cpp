#include "search/replace.h"

#include "search/find.h"
#include "shell/control.h"

namespace tavi {

Variant ReplaceSE(TaviColorText& control, TextView findText, TextView replaceText) {
  EditSurface& editor = *control.widgets().editor;
  control.m_bTrackChanges = false;
  const int32_t start = editor.selStart();
  if (!control.bFind) {
    control.m_bTrackChanges = true;
    return Variant();
  }
  control.m_bTrackChanges = true;
  editor.replaceSelection(replaceText);  // recorded as a user edit
  control.m_bTrackChanges = false;
  editor.setHideSelection(false);
  editor.setSelStart(start);
  editor.setSelLength(static_cast<int32_t>(replaceText.size()));
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  AdjustFindPos(control, findText, replaceText);
  return Variant();
}

Variant ReplaceAll(TaviColorText& control, TextView findText, TextView replaceText,
                   bool matchCase) {
  EditSurface& editor = *control.widgets().editor;
  int32_t& position = control.module().m_lLastCaret;
  control.SetHourGlassCursor();
  position = 0;
  control.m_bTrackChanges = false;
  int32_t n = editor.textLength();
  // An empty search text matches nothing, so the loop always ends.
  while (!findText.empty() && position < n) {
    const int32_t found = editor.find(findText, position, n, matchCase ? kFindMatchCase : 0);
    if (found < 0) break;
    editor.setHideSelection(false);
    editor.setSelStart(found);
    editor.setSelLength(static_cast<int32_t>(findText.size()));
    editor.replaceSelection(replaceText);
    // The search goes on behind the inserted text, never inside it: from the caret the
    // replacement leaves, which is found + its length unless the editor converted its line
    // breaks to CR LF or cut it at the maximum length.
    position = editor.selStart();
    n = editor.textLength();
  }
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  control.SetArrowCursor();
  return Variant();
}

}  // namespace tavi
