#include "editing/key_handling.h"

#include "gutter/gutter.h"
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
    }
  }
}

void HandleKeyUp(TaviColorText& /*control*/, int16_t& /*keyCode*/, int16_t& /*shift*/) {}

void HandleMouseDown(TaviColorText& /*control*/, int16_t /*button*/, int16_t /*shift*/, float /*x*/,
                     float /*y*/) {}

void HandleMouseUp(TaviColorText& /*control*/, int16_t /*button*/, int16_t /*shift*/, float /*x*/,
                   float /*y*/) {}

void MenuEntryChosen(TaviColorText& /*control*/, int16_t /*entry*/) {}

}  // namespace tavi
