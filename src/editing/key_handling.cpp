#include "editing/key_handling.h"

#include <exception>

#include "editing/completion.h"
#include "editing/outdent.h"
#include "editing/parameter_hint.h"
#include "gutter/gutter.h"
#include "language/colouring.h"
#include "shell/control.h"
#include "shell/runtime_error.h"

namespace tavi {

namespace {

bool setsDownCaret(int16_t keyCode) {
  switch (keyCode) {
    case vk::kReturn:
    case vk::kPrior:
    case vk::kNext:
    case vk::kLeft:
    case vk::kUp:
    case vk::kRight:
    case vk::kDown:
      return true;
    default:
      return false;
  }
}

bool isPaste(int16_t keyCode, int16_t shift) {
  return (shift == kCtrlMask && keyCode == vk::kV) ||
         (shift == kShiftMask && keyCode == vk::kInsert);
}

bool isCut(int16_t keyCode, int16_t shift) {
  return (shift == kCtrlMask && keyCode == vk::kX) ||
         (shift == kShiftMask && keyCode == vk::kDelete);
}

// Shift+Tab with ShiftTabOutdent on: the surface never sees it (so the focus stays in the
// editor) and its release outdents.
bool outdentKey(const TaviColorText& control, int16_t keyCode, int16_t shift) {
  return control.ShiftTabOutdent && keyCode == vk::kTab && shift == kShiftMask;
}

void navigationAction(TaviColorText& control, int32_t caret) {
  ModuleState& module = control.module();
  EditSurface& editor = *control.widgets().editor;
  module.m_bCaretMoved = true;
  const int32_t line = editor.lineFromChar(caret);
  if (module.m_bListShown && !control.ListKeepsKeys) {
    EnterCompletionList(control);
  } else if (line != module.m_lDownLine) {
    // The caret left the line where the key went down.
    HideHint(control);
    module.m_bTextChanged = false;
    editor.setSelStart(caret);
  }
  DrawLineNumbers(control);
}

// The keyword work of the release of a key pressed without modifiers.
void plainKeyAction(TaviColorText& control, int16_t keyCode, int32_t caret) {
  const Widgets& w = control.widgets();
  switch (keyCode) {
    case vk::kReturn:
      HideCompletionList(control);
      HideHint(control);
      return;
    case vk::kPrior:
    case vk::kNext:
    case vk::kLeft:
    case vk::kUp:
    case vk::kRight:
    case vk::kDown:
      navigationAction(control, caret);
      return;
    case vk::kF1:
      OpenCompletionList(control);
      return;
    case vk::kSpace:
      SpaceAction(control);
      return;
    case vk::kEscape:
      if (w.list->visible())
        HideCompletionList(control);
      else if (w.hint->visible())
        HideHint(control);
      w.editor->setFocus();
      return;
    default:
      TypingAction(control, caret);
      return;
  }
}

// The recolouring after pastes and cuts made with the keyboard.
void modifiedKeyAction(TaviColorText& control, int16_t keyCode, int16_t shift, int32_t caret) {
  if (isPaste(keyCode, shift)) {
    const int32_t n =
        static_cast<int32_t>(control.widgets().clipboard->text().value_or(Text()).size());
    int32_t pasteStart = caret - n;  // the line where the pasted text starts
    if (pasteStart > 0) ColorLine(control, pasteStart);
    int32_t at = caret;
    if (at > 0) ColorLine(control, at);
  } else if (isCut(keyCode, shift)) {
    int32_t at = caret;
    if (at > 0) ColorLine(control, at);
  }
}

// Keys that do not edit: modifiers, Pause, Caps Lock, Escape, the page, end, home and
// arrow keys, Print Screen, Insert, the Windows and menu keys, F2 to F4, F6 to F12,
// Num Lock and Scroll Lock.
bool isEditingKey(int16_t keyCode) {
  if (keyCode >= vk::kShift && keyCode <= vk::kCapital) return false;
  if (keyCode >= vk::kPrior && keyCode <= vk::kDown) return false;
  switch (keyCode) {
    case vk::kEscape:
    case vk::kSnapshot:
    case vk::kInsert:
    case vk::kLWin:
    case vk::kApps:
    case vk::kNumLock:
    case vk::kScroll:
      return false;
    default:
      break;
  }
  if (keyCode >= vk::kF1 + 1 && keyCode <= vk::kF1 + 3) return false;  // F2 to F4
  if (keyCode >= vk::kF5 + 1 && keyCode <= vk::kF12) return false;     // F6 to F12
  return true;
}

enum class TailResult { Done, EndedByWarning };

// `listCommit`: an Enter that committed a list entry (ListKeepsKeys), which counts as a
// typed key, not as a line break.
TailResult editingKeyTail(TaviColorText& control, int16_t keyCode, int16_t shift, int32_t line,
                          bool listCommit) {
  ModuleState& module = control.module();
  if (keyCode == vk::kReturn && !listCommit) {
    if (line != 0 && line != module.m_lDownLine) control.m_bChange = true;
    return TailResult::Done;
  }
  const bool outdent = outdentKey(control, keyCode, shift);
  // An outdent only takes text away, like Backspace and Delete.
  if (control.m_bAtMaxLen && keyCode != vk::kBack && keyCode != vk::kDelete && !outdent) {
    control.showMaximumSizeWarning();
    return TailResult::EndedByWarning;
  }
  // The Tab's indentation is an edit too: a strictly locked control refuses it.
  if (shift == 0 && keyCode == vk::kTab && control.editCommandsAllowed()) {
    control.m_bTrackChanges = true;
    IndentSelection(control);
  } else if (outdent && !control.m_bLock) {
    // A locked editor takes no edit from the keyboard.
    OutdentSelection(control);
  }
  if (control.m_bLock) {
    control.m_bChange = false;
  } else if (control.m_vLastKeyCode == vk::kC && control.m_vLastShift == kCtrlMask) {
    // A copy changes nothing.
  } else if (control.m_vLastKeyCode == vk::kV && control.m_vLastShift == kCtrlMask) {
    MakeClipboardPlain(control);
    if (!control.widgets().clipboard->text().value_or(Text()).empty()) control.m_bChange = true;
  } else {
    control.m_bChange = true;
  }
  return TailResult::Done;
}

void keyUp(TaviColorText& control, int16_t keyCode, int16_t shift) {
  EditSurface& editor = *control.widgets().editor;
  DrawLineNumbers(control);
  control.m_bTrackChanges = false;
  const int32_t caret = editor.selStart();
  // Taken before the actions below, which may hide the list.
  const bool listKey = ListTakesKey(control, keyCode, shift);
  if (control.m_bKeywordHighlight) {
    if (listKey)
      ListKeyReleased(control, keyCode);
    else if (shift != 0)
      modifiedKeyAction(control, keyCode, shift, caret);
    else
      plainKeyAction(control, keyCode, caret);
  }
  const int32_t line = editor.lineFromChar(caret);
  if (isEditingKey(keyCode) &&
      editingKeyTail(control, keyCode, shift, line, listKey) == TailResult::EndedByWarning)
    return;  // tracking stays off until the next key press or mouse event
  control.module().m_lDownLine = line;
  control.m_bTrackChanges = true;
  control.raiseEvent(event::kKeyUp);
}

}  // namespace

void MakeClipboardPlain(TaviColorText& control) {
  Clipboard& clipboard = *control.widgets().clipboard;
  const Text text = clipboard.text().value_or(Text());
  clipboard.clear();
  clipboard.setText(text);
}

void HandleKeyDown(TaviColorText& control, int16_t& keyCode, int16_t& shift) {
  const EditSurface& editor = *control.widgets().editor;
  ModuleState& module = control.module();
  control.m_bTrackChanges = false;
  if (setsDownCaret(keyCode)) {
    module.m_lDownCaret = editor.selStart();
    module.m_lDownLine = editor.lineFromChar(module.m_lDownCaret);
  }
  DrawLineNumbers(control);
  module.m_lLastCaret = editor.selStart();
  control.m_bTrackChanges = true;
  control.m_vLastShift = shift;
  control.m_vLastKeyCode = keyCode;
  // Opt-in keys that the control keeps from the surface.
  if (ListTakesKey(control, keyCode, shift)) {
    ListKeyPressed(control, keyCode);
    keyCode = 0;
  } else if (outdentKey(control, keyCode, shift)) {
    keyCode = 0;
  }
  control.m_undoRun.keyPressed(keyCode, shift, editor.selStart(), editor.selLength() > 0);
  if (keyCode == vk::kV && shift == kCtrlMask) {
    // The surface's paste then inserts plain text only. A failing clipboard step ends
    // the handler; a locked clipboard also swallows the key.
    try {
      MakeClipboardPlain(control);
    } catch (const RuntimeError& error) {
      if (error.number() != err::kCantOpenClipboard) return;
      control.SetArrowCursor();
      control.raiseEvent(event::kClipboardLocked);
      keyCode = 0;
    } catch (const std::exception&) {
      // Any other failing clipboard step ends the handler silently.
    }
  }
}

void HandleKeyUp(TaviColorText& control, int16_t& keyCode, int16_t& shift) {
  control.m_undoRun.keyReleased();
  // A failing step ends the handler at once: no onEvent, tracking stays off.
  try {
    keyUp(control, keyCode, shift);
  } catch (const RuntimeError& error) {
    if (error.number() == err::kCantOpenClipboard) control.SetArrowCursor();
  } catch (const std::exception&) {
  }
}

void IndentSelection(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  if (editor.hideSelection()) {
    editor.replaceSelection(Text(1, kTab) + editor.selText());
    return;
  }
  const int32_t start = editor.selStart();
  const Text selected = editor.selText();
  Text result;
  if (selected.find(kLF) != Text::npos) {
    // Every line of the block gets a leading tab.
    size_t from = 0;
    for (;;) {
      const size_t lf = selected.find(kLF, from);
      result += kTab;
      result.append(selected, from, lf == Text::npos ? Text::npos : lf - from);
      result += kLF;
      if (lf == Text::npos) break;
      from = lf + 1;
    }
    result.pop_back();
  } else {
    result = Text(1, kTab) + selected;
  }
  editor.setHideSelection(false);
  editor.replaceSelection(result);
  editor.setSelStart(start + 1);
  editor.setSelLength(static_cast<int32_t>(result.size()) - 1);
}

}  // namespace tavi
