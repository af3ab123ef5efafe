#include "editing/completion.h"

#include <algorithm>

#include "editing/parameter_hint.h"
#include "language/colouring.h"
#include "shell/control.h"
#include "shell/keys.h"

namespace tavi {

namespace {

// Offsets of the placement rule, in pixels: the gap to the caret, the height of a line
// below it, and the editor's distance from the control's left edge.
constexpr int32_t kCaretGapX = 3;
constexpr int32_t kCaretGapY = 18;
constexpr int32_t kEditorOffset = 32;

bool endsCommitWord(char16_t c) { return c == kSpace || c == kCR || c == kLF || c == kTab; }

// The entries the list shows at a time: its height in lines of the control's font.
int32_t listRows(const TaviColorText& control) {
  const Widgets& w = control.widgets();
  const double line = w.site->textHeight(u"Hy");
  return line > 0 ? static_cast<int32_t>(w.list->height() / line) : 1;
}

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
  // With ListKeepsKeys the list offers the entry for the word at once, for Space or Enter.
  if (control.ListKeepsKeys && idx >= 0 && idx < count) w.list->setSelected(idx, true);
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
  CommitSelectedEntry(control, 1);  // the Space stands behind the word
}

void CommitSelectedEntry(TaviColorText& control, int32_t typedBehind) {
  const Widgets& w = control.widgets();
  ModuleState& module = control.module();
  // A strictly locked control takes no commit: the text and the list stay as they are.
  if (!control.editCommandsAllowed()) return;
  // The partly typed word before the caret (and the Space) becomes the chosen keyword.
  EditSurface& editor = *w.editor;
  module.m_lKeyUpCaret = editor.selStart();
  editor.setFocus();
  const Text text = editor.text();
  int32_t start = module.m_lKeyUpCaret - typedBehind;
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
  editor.setSelStart(start + static_cast<int32_t>(keyword.size()) + typedBehind);
  HideCompletionList(control);
  // m_bHintShown is ShowHintForIndex's: True when it showed the box (always, unless
  // HideEmptyHint kept an empty one away).
}

bool ListTakesKey(const TaviColorText& control, int16_t keyCode, int16_t shift) {
  const KeywordListBox& list = *control.widgets().list;
  if (!control.ListKeepsKeys || !control.m_bKeywordHighlight || shift != 0 ||
      !control.module().m_bListShown || !list.visible())
    return false;
  switch (keyCode) {
    case vk::kUp:
    case vk::kDown:
    case vk::kPrior:
    case vk::kNext:
    case vk::kHome:
    case vk::kEnd:
      return true;
    case vk::kReturn:
      // Enter accepts the offered entry, as in any editor's completion list: it commits
      // like Space, without a line break. With no entry selected it is a line break again.
      return list.listIndex() >= 0;
    default:
      return false;
  }
}

void ListKeyPressed(TaviColorText& control, int16_t keyCode) {
  KeywordListBox& list = *control.widgets().list;
  const int32_t last = list.listCount() - 1;
  if (last < 0) return;
  const int32_t at = list.listIndex();
  const int32_t page = std::max(1, listRows(control) - 1);  // one entry stays in view
  int32_t to = at;
  switch (keyCode) {
    case vk::kUp:
      to = at - 1;
      break;
    case vk::kDown:
      to = at + 1;
      break;
    case vk::kPrior:
      to = at - page;
      break;
    case vk::kNext:
      to = at + page;
      break;
    case vk::kHome:
      to = 0;
      break;
    case vk::kEnd:
      to = last;
      break;
    default:
      return;  // Enter commits when the key goes up
  }
  // With no entry selected, a step or page lands on the first entry.
  if (at < 0 && keyCode != vk::kEnd) to = 0;
  list.setListIndex(std::clamp(to, 0, last));
}

void ListKeyReleased(TaviColorText& control, int16_t keyCode) {
  if (keyCode == vk::kReturn) CommitSelectedEntry(control, 0);
}

void HideCompletionList(TaviColorText& control) {
  control.widgets().list->setVisible(false);
  control.module().m_bListShown = false;
}

}  // namespace tavi
