// Keys typed into tavi-edit from its command line (--type), as a person types them: used
// to show the editor at work in screenshots and demonstrations.
#pragma once

#include <QString>

namespace tavi {

class MainWindow;

// Shows and activates the window, clicks into the editor at its caret (so that typing
// colours the words around it, as after a person's click) and types `keys` into whichever
// widget has the focus, key by key. Characters type themselves; a name in braces is a key
// of its own, optionally held with modifiers: {ENTER} {TAB} {ESC} {BS} {DEL} {INS} {UP}
// {DOWN} {LEFT} {RIGHT} {HOME} {END} {PGUP} {PGDN} {SPACE} {F1}..{F12}, {CTRL+END},
// {SHIFT+TAB}, {CTRL+A}; {{} types "{". Held Ctrl or Alt, a key types nothing.
// Afterwards it waits one tick of the control's timer, so that the gutter has caught up.
// False, with `error` set, for an unknown key name (nothing is typed then).
bool typeIntoEditor(MainWindow& window, const QString& keys, QString& error);

}  // namespace tavi
