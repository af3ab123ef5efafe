#include "editing/mouse_handling.h"

#include "gutter/gutter.h"
#include "shell/control.h"

namespace tavi {

namespace {
constexpr size_t kMenuEntries = 6;
}

void HandleMouseDown(TaviColorText& control, int16_t button, int16_t /*shift*/, float /*x*/,
                     float /*y*/) {
  ModuleState& module = control.module();
  control.m_bTrackChanges = false;
  control.m_undoRun.end();  // typing after a click starts a step of its own
  if (!control.m_bMenuBuilt) {
    BuildContextMenu(control);
    control.m_bMenuBuilt = true;
  }
  if (button == kLeftButton && !module.m_bListShown && module.m_bTextChanged) {
    module.m_bCaretMoved = false;
    module.m_bTextChanged = false;
  }
  if (button == kRightButton && !control.m_bLock) control.widgets().menu->show();
  control.m_bTrackChanges = true;
}

void HandleMouseUp(TaviColorText& control, int16_t button, int16_t /*shift*/, float /*x*/,
                   float /*y*/) {
  ModuleState& module = control.module();
  const EditSurface& editor = *control.widgets().editor;
  control.m_bTrackChanges = false;
  if (button == kLeftButton) {
    module.m_bCaretMoved = true;
    DrawLineNumbers(control);
    module.m_lDownCaret = editor.selStart();
    module.m_lDownLine = editor.lineFromChar(module.m_lDownCaret);
  }
  module.m_lLastCaret = editor.selStart();
  control.m_bTrackChanges = true;
  control.raiseEvent(event::kMouseUp);
}

void BuildContextMenu(TaviColorText& control) {
  PopupMenu& menu = *control.widgets().menu;
  menu.clear();
  // The captions are split at every comma (an empty text has none). With fewer than six
  // the menu offers the entries that have a caption; further parts are ignored.
  const TextView captions = control.m_strPopUpMenu;
  if (captions.empty()) return;
  size_t from = 0;
  for (size_t entry = 0; entry < kMenuEntries; ++entry) {
    const size_t comma = captions.find(u',', from);
    menu.addItem(captions.substr(from, comma == TextView::npos ? TextView::npos : comma - from));
    if (comma == TextView::npos) break;
    from = comma + 1;
  }
}

void MenuEntryChosen(TaviColorText& control, int16_t entry) {
  switch (entry) {
    case 1:
      control.Undo();
      break;
    case 2:
      control.Cut();
      break;
    case 3:
      control.Copy();
      break;
    case 4:
      control.Paste();
      break;
    case 5:
      control.Delete();
      break;
    case 6:
      control.SelectAll();
      break;
    default:
      break;  // no such entry
  }
}

}  // namespace tavi
