// The editor's focus and change notifications.
#pragma once

#include <functional>

namespace tavi {

class TaviColorText;

// Focus gained: the sibling widgets stop being tab stops, so Tab stays in the editor.
void HandleGotFocus(TaviColorText& control);
// Focus lost: the selection stays visible; a Tab that took the focus away gives it back.
void HandleLostFocus(TaviColorText& control);
// Text changed: maximum length, the journal, the maximum-size warning, the gutter, onChange.
void HandleChange(TaviColorText& control);
// The part of the change handling that a journalled change runs: the journal, the
// maximum-size warning, the gutter and onChange. An edit that the control makes in several
// surface changes (EditWithoutJournal) and that is one edit to the user calls it once
// afterwards.
void JournalUserEdit(TaviColorText& control);
// Runs `edits`, whose surface changes are the control's own and not journalled one by one
// (m_bTrackChanges is off while they run and as it was afterwards).
void EditWithoutJournal(TaviColorText& control, const std::function<void()>& edits);

}  // namespace tavi
