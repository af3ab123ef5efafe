// The clipboard commands a host calls (and the context menu offers): each edits the
// selection and ends with its own onEvent.
#pragma once

#include "shell/variant.h"

namespace tavi {

class TaviColorText;

Variant Cut(TaviColorText& control);
Variant Copy(TaviColorText& control);
Variant Paste(TaviColorText& control);
// Paste as a script calls it through the dispatch interface: where the host forbids
// scripts to read the clipboard, it does nothing but raise the event of a clipboard that
// cannot be opened. The person's own paste keys and menu entry never ask.
Variant ScriptedPaste(TaviColorText& control);
Variant Delete(TaviColorText& control);
Variant SelectAll(TaviColorText& control);

}  // namespace tavi
