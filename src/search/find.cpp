#include "search/find.h"

#include <algorithm>

#include "search/text_search.h"
#include "shell/control.h"

namespace tavi {

namespace {

constexpr int32_t kSearchReachedTop = -2;
constexpr int32_t kStyleInformationOk = 64;

// The last occurrence of `what` lying wholly within the first `limit` characters.
int32_t lastMatchWithin(TextView text, TextView what, int32_t limit, bool matchCase) {
  const size_t within = std::min<size_t>(static_cast<size_t>(limit), text.size());
  return SearchPattern(what, matchCase ? kFindMatchCase : 0).lastIn(text.substr(0, within));
}

// The search of both find commands; true when a match was selected.
bool findNext(TaviColorText& control, TextView what, bool matchCase, bool up) {
  EditSurface& editor = *control.widgets().editor;
  int32_t& position = control.module().m_lLastCaret;
  editor.setFocus();
  control.m_FindText = Text(what);
  const int32_t n = editor.textLength();
  const int32_t length = static_cast<int32_t>(what.size());
  // An empty search text finds nothing, in either direction, and leaves the position alone:
  // the search ends with the finished or not-found message.
  if (what.empty()) return false;
  int32_t found = -1;
  if (up) {
    if (position == 0) position = n;
    if (position > 0) found = lastMatchWithin(editor.text(), what, position, matchCase);
    if (found < 0) return false;
    control.bFind = true;
    editor.setHideSelection(false);
    editor.setSelStart(found);
    editor.setSelLength(length);
    position = found + 1 - length;
    if (position == 0) position = kSearchReachedTop;  // 0 would mean "from the end"
    return true;
  }
  if (position == kSearchReachedTop) position = 0;
  // Another negative position (an upward match near the top can leave -1) reaches the
  // surface's find, which searches from the start of the text.
  found = editor.find(what, position, n, matchCase ? kFindMatchCase : 0);
  if (found < 0) return false;
  control.bFind = true;
  editor.setHideSelection(false);
  editor.setSelStart(found);
  editor.setSelLength(length);
  position = found + length;
  return true;
}

const Text& endMessage(const TaviColorText& control) {
  return control.bFind ? control.m_strFinishSearch : control.m_strNotFoundText;
}

}  // namespace

Variant FindSE(TaviColorText& control, TextView findText, bool matchCase, bool up) {
  if (!findNext(control, findText, matchCase, up))
    control.widgets().messages->show(endMessage(control), kStyleInformationOk,
                                     control.m_strScriptEditor);
  return Variant();
}

Text FindSE_New(TaviColorText& control, TextView findText, bool matchCase, bool up) {
  if (findNext(control, findText, matchCase, up)) return Text();
  return endMessage(control);
}

void AdjustFindPos(TaviColorText& control, TextView findText, TextView replaceText) {
  if (findText.size() > replaceText.size())
    control.module().m_lLastCaret -= static_cast<int32_t>(findText.size() - replaceText.size());
}

}  // namespace tavi
