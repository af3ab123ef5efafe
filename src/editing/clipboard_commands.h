// The clipboard commands a host calls (and the context menu offers): each edits the
// selection and ends with its own onEvent.
#pragma once

#include "shell/variant.h"

namespace tavi {

class TaviColorText;

Variant Cut(TaviColorText& control);
Variant Copy(TaviColorText& control);
Variant Paste(TaviColorText& control);
Variant Delete(TaviColorText& control);
Variant SelectAll(TaviColorText& control);

}  // namespace tavi
