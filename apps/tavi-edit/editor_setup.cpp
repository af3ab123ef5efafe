#include "editor_setup.h"

#include "qt/tavi_color_text_widget.h"

namespace tavi {

namespace {

TaviColorTextWidget::Messages englishMessages() {
  TaviColorTextWidget::Messages m;
  m.scriptEditor = QStringLiteral("Script Editor");
  m.maximumSize = QStringLiteral(
      "The script has reached its maximum size of %1 characters.%2"
      "Further typing is ignored.");
  m.printError = QStringLiteral("The printer could not be used.");
  m.finishSearch = QStringLiteral("The search has reached the end of the script.");
  m.notFound = QStringLiteral("The text was not found.");
  m.popUpMenu = QStringLiteral("Undo,Cut,Copy,Paste,Delete,Select All");
  return m;
}

struct KeywordHint {
  const char* keyword;
  const char* hint;
};

// What follows a keyword, as the sample scripts write it. The hint looks back only a few
// characters for its keyword, so only short keywords ever show one; AND's replaces the
// built-in placeholder.
constexpr KeywordHint kHints[] = {
    {"SECTION", "section name"},
    {"EXECUTE", "section name"},
    {"WAIT", "seconds"},
    {"GIVE RAN", "RAN route"},
    {"ASSIGN", "value,TO variable"},
    {"IF", "condition,THEN"},
    {"AND", "condition"},
    {"OR", "condition"},
    {"NOT", "condition"},
};

}  // namespace

void setUpEditor(TaviColorTextWidget& editor) {
  editor.setMessages(englishMessages());
  editor.setKeywordHighlight(true);
  editor.setColourOnLoad(true);
  editor.setStrictLock(true);
  editor.setHideEmptyHint(true);
  editor.setListKeepsKeys(true);
  editor.setUndoByWords(true);
  editor.setShiftTabOutdent(true);
  for (const KeywordHint& h : kHints)
    editor.setKeywordHint(QString::fromLatin1(h.keyword), QString::fromLatin1(h.hint));
}

}  // namespace tavi
