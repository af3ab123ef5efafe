// The editor's own clipboard commands, as every platform's editor does them: cut and copy
// put the selection on the clipboard as plain text, paste replaces the selection with the
// clipboard's text fitted to the maximum length. `Editor` is any editor with selLength(),
// selText() and replaceSelection(), the last fitting what it inserts to the maximum length.
#pragma once

#include <optional>

#include "shell/runtime_error.h"
#include "shell/text.h"
#include "shell/widgets/environment.h"

namespace tavi {

// Cut: not while locked, and only a selection. A clipboard that cannot be opened throws
// its error (521) and cuts nothing.
template <typename Editor>
void cutSelection(Editor& editor, bool locked, Clipboard& clipboard) {
  if (locked || editor.selLength() == 0) return;
  clipboard.setText(editor.selText());
  editor.replaceSelection(u"");
}

// Copy: a locked editor copies too.
template <typename Editor>
void copySelection(const Editor& editor, Clipboard& clipboard) {
  if (editor.selLength() != 0) clipboard.setText(editor.selText());
}

// Paste: nothing while locked or when the clipboard holds no text.
template <typename Editor>
void pasteClipboard(Editor& editor, bool locked, Clipboard& clipboard) {
  if (locked) return;
  if (const std::optional<Text> content = clipboard.text()) editor.replaceSelection(*content);
}

// The keyboard's commands (Ctrl+X, Ctrl+C, Ctrl+V, Shift+Delete, Ctrl+Insert, Shift+Insert)
// act inside the editor: a clipboard that cannot be opened makes them do nothing, there is
// nobody to report an error to.
template <typename Command>
void byKey(Command command) {
  try {
    command();
  } catch (const RuntimeError&) {
  }
}

}  // namespace tavi
