// The editor's focus and change notifications.
#pragma once

namespace tavi {

class TaviColorText;

// Focus gained: the sibling widgets stop being tab stops, so Tab stays in the editor.
void HandleGotFocus(TaviColorText& control);
// Focus lost: the selection stays visible; a Tab that took the focus away gives it back.
void HandleLostFocus(TaviColorText& control);
// Text changed: maximum length, the journal, the maximum-size warning, the gutter, onChange.
void HandleChange(TaviColorText& control);

}  // namespace tavi
