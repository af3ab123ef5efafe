#include "editing/parameter_hint.h"

#include <vector>

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

const Text& HintTextFor(const TaviColorText& control, int32_t index) {
  const std::vector<Text>& table = control.module().m_strParamHints;
  if (index < 0 || index >= static_cast<int32_t>(table.size())) throw RuntimeError(err::kSubscript);
  const auto own = control.hostKeywordHints.find(control.widgets().list->item(index));
  return own != control.hostKeywordHints.end() ? own->second : table[static_cast<size_t>(index)];
}

void SetKeywordHint(TaviColorText& control, TextView keyword, TextView hint) {
  const KeywordListBox& list = *control.widgets().list;
  bool known = false;
  for (int32_t i = 0; i < list.listCount() && !known; ++i) known = list.item(i) == keyword;
  if (!known) throw RuntimeError(err::kInvalidCall);
  // Takes effect the next time the hint shows; a hint showing now keeps its text.
  if (hint.empty())
    control.hostKeywordHints.erase(Text(keyword));
  else
    control.hostKeywordHints[Text(keyword)] = Text(hint);
}

void ShowHintForIndex(TaviColorText& control, int32_t index) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  const Text& hint = HintTextFor(control, index);
  if (hint.empty() && control.HideEmptyHint) {
    // No box for nothing to say; one showing for an earlier keyword is stale now.
    HideHint(control);
    return;
  }
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
