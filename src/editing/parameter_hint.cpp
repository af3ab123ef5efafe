#include "editing/parameter_hint.h"

#include "editing/completion.h"
#include "shell/control.h"
#include "shell/runtime_error.h"

namespace tavi {

void HintSearch(TaviColorText& control) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  EditSurface& editor = *w.editor;
  const int32_t caret = editor.selStart();
  // The window of look-back + 1 characters before the caret ends with the Space typed.
  int32_t start = caret - module.m_iHintLookBack - 1;
  if (start <= 0) start = 0;
  const int32_t count = w.list->listCount();
  int32_t found = -1;
  for (int32_t i = 0; i < count && found < 0; ++i)
    if (editor.find(w.list->item(i), start, caret, kFindWholeWord | kFindMatchCase) >= 0) found = i;
  if (found >= 0) {
    module.m_iHintIndex = static_cast<int16_t>(found);
    editor.setSelStart(caret);  // the search selected the match
    ShowHintForIndex(control, found);
  }
  editor.setFocus();
}

void ShowHintForIndex(TaviColorText& control, int32_t index) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  if (index < 0 || index >= static_cast<int32_t>(module.m_strParamHints.size()))
    throw RuntimeError(err::kSubscript);
  const Text& hint = module.m_strParamHints[static_cast<size_t>(index)];
  const int32_t width = roundToI4(w.site->textWidth(hint) + 5);
  const int32_t height = roundToI4(w.site->textHeight(hint) + 5);
  HintBox& box = *w.hint;
  box.setWidth(width);
  box.setHeight(height);
  box.setText(hint);
  const Placement at = PlaceAtCaret(control, width, height);
  box.setLeft(at.left);
  box.setTop(at.top);
  box.setVisible(true);
  module.m_bHintShown = true;
}

void HideHint(TaviColorText& control) {
  control.widgets().hint->setVisible(false);
  control.module().m_bHintShown = false;
}

}  // namespace tavi
