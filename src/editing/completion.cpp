#include "editing/completion.h"

#include <algorithm>

#include "editing/parameter_hint.h"
#include "language/colouring.h"
#include "shell/control.h"

namespace tavi {

namespace {

// Offsets of the placement rule, in pixels: the gap to the caret, the height of a line
// below it, and the editor's distance from the control's left edge.
constexpr int32_t kCaretGapX = 3;
constexpr int32_t kCaretGapY = 18;
constexpr int32_t kEditorOffset = 32;

bool endsCommitWord(char16_t c) { return c == kSpace || c == kCR || c == kLF || c == kTab; }

void showList(TaviColorText& control) {
  KeywordListBox& list = *control.widgets().list;
  const Placement at = PlaceAtCaret(control, list.width(), list.height());
  list.setLeft(at.left);
  list.setTop(at.top);
  control.module().m_bListShown = true;
  list.setVisible(true);
}

}  // namespace

Placement PlaceAtCaret(const TaviColorText& control, int32_t width, int32_t height) {
  const EditSurface& editor = *control.widgets().editor;
  const PixelPoint caret = editor.caretPosition();
  int32_t left = caret.x + kCaretGapX;
  int32_t top = caret.y + kCaretGapY;
  if (editor.clientWidth() - width - kCaretGapX < caret.x) left = caret.x + kCaretGapX - width;
  if (editor.clientHeight() - height - kCaretGapY < caret.y) top = caret.y - height;
  return {left + kEditorOffset, top};
}

Text WordBeforeCaret(TextView text, int32_t caret) {
  if (caret > INT16_MAX) return Text();
  int32_t p = std::min<int32_t>(caret, static_cast<int32_t>(text.size()));
  const int32_t end = p;
  while (p >= 1 && text[p - 1] != kSpace && text[p - 1] != kLF) --p;
  return Text(text.substr(p, end - p));
}

int32_t FirstPrefixMatch(const TaviColorText& control, TextView word) {
  const KeywordListBox& list = *control.widgets().list;
  const int32_t count = list.listCount();
  for (int32_t i = 0; i < count; ++i)
    if (list.item(i).starts_with(word)) return i;
  return -1;
}

void OpenCompletionList(TaviColorText& control) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  const Text text = w.editor->text();
  module.m_lKeyUpCaret = w.editor->selStart();
  if (text.empty()) {
    showList(control);
    return;
  }
  const Text word = WordBeforeCaret(text, module.m_lKeyUpCaret);
  const int32_t count = w.list->listCount();
  int32_t idx = -1;
  if (!word.empty()) {
    const int32_t match = FirstPrefixMatch(control, word);
    if (match >= 0) module.m_iHintIndex = static_cast<int16_t>(match);
    idx = match >= 0 ? match : count;
  }
  if (w.list->visible()) return;
  showList(control);
  // Without a matching word the first entry becomes the selected one; a match only
  // chooses the hint, it does not move the list's selection.
  if ((idx == -1 || idx == count) && w.list->listIndex() >= 0) {
    w.list->setSelected(w.list->listIndex(), false);
    w.list->setListIndex(0);
    module.m_iHintIndex = -1;
  }
}

void TypingAction(TaviColorText& control, int32_t releaseCaret) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  module.m_lKeyUpCaret = w.editor->selStart();
  if (module.m_bTextChanged && module.m_bCaretMoved) {
    w.editor->setHideSelection(true);
    w.editor->setFocus();
    ColorSpan(control, releaseCaret);
  }
  if (!module.m_bListShown) return;
  w.editor->setFocus();
  const Text text = w.editor->text();
  if (text.empty()) return;
  const Text word = WordBeforeCaret(text, w.editor->selStart());
  if (word.empty()) return;
  const int32_t match = FirstPrefixMatch(control, word);
  if (match >= 0) w.list->setSelected(match, true);
}

void EnterCompletionList(TaviColorText& control) {
  KeywordListBox& list = *control.widgets().list;
  list.setSelected(0, true);
  list.setFocus();
}

void SpaceAction(TaviColorText& control) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  if (!module.m_bListShown || w.list->listIndex() < 0) {
    if (!module.m_bHintShown) HintSearch(control);
    return;
  }
  // Commit: the partly typed word before the Space becomes the chosen keyword.
  EditSurface& editor = *w.editor;
  module.m_lKeyUpCaret = editor.selStart();
  editor.setFocus();
  const Text text = editor.text();
  int32_t start = module.m_lKeyUpCaret - 1;
  int32_t n = 0;
  if (start > 0) {
    while (start >= 1 && start <= static_cast<int32_t>(text.size()) &&
           !endsCommitWord(text[start - 1])) {
      --start;
      ++n;
    }
  }
  editor.setSelStart(start);
  editor.setSelLength(n);
  const Text keyword = w.list->text();
  control.m_bTrackChanges = true;
  editor.replaceSelection(keyword);  // one journalled change
  control.m_bTrackChanges = false;
  module.m_iHintIndex = static_cast<int16_t>(w.list->listIndex());
  ShowHintForIndex(control, module.m_iHintIndex);
  editor.setSelStart(start + static_cast<int32_t>(keyword.size()) + 1);
  HideCompletionList(control);
  module.m_bHintShown = true;
}

void HideCompletionList(TaviColorText& control) {
  control.widgets().list->setVisible(false);
  control.module().m_bListShown = false;
}

}  // namespace tavi
