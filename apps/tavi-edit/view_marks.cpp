#include "view_marks.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "qt/units.h"
#include "shell/text.h"

namespace tavi {

namespace {

const QColor kCurrentLine(0xF1, 0xF5, 0xFB);
const QColor kMatch(0xFF, 0xE4, 0x7A);

QTextEdit::ExtraSelection mark(const QTextCursor& cursor, const QColor& background) {
  QTextEdit::ExtraSelection selection;
  selection.cursor = cursor;
  selection.format.setBackground(background);
  return selection;
}

}  // namespace

ViewMarks::ViewMarks(QTextEdit& editor) : QObject(&editor), editor_(editor) {
  connect(&editor, &QTextEdit::cursorPositionChanged, this, &ViewMarks::schedule);
  connect(editor.document(), &QTextDocument::contentsChanged, this, &ViewMarks::schedule);
  connect(editor.verticalScrollBar(), &QScrollBar::valueChanged, this, &ViewMarks::schedule);
  connect(editor.verticalScrollBar(), &QScrollBar::rangeChanged, this, &ViewMarks::schedule);
  editor.viewport()->installEventFilter(this);  // a taller view shows more lines
  refresh();
}

bool ViewMarks::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Resize) schedule();
  return QObject::eventFilter(watched, e);
}

void ViewMarks::setSearch(const QString& text, bool matchCase) {
  search_ = text;
  matchCase_ = matchCase;
  refresh();
}

// The control colours by moving the widget's selection, so the caret "moves" many times
// while it works: the marks wait for the events to settle and are made once.
void ViewMarks::schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    if (scheduled_) refresh();
  });
}

void ViewMarks::refresh() {
  scheduled_ = false;
  QList<QTextEdit::ExtraSelection> marks;
  QTextCursor line = editor_.textCursor();
  line.clearSelection();
  QTextEdit::ExtraSelection current = mark(line, kCurrentLine);
  current.format.setProperty(QTextFormat::FullWidthSelection, true);
  marks << current;

  matches_ = 0;
  if (!search_.isEmpty()) {
    // Only the lines in view: a long script may hold a match on every line. A search text
    // has no line break, so each match lies within one block.
    const Text what = matchCase_ ? qt::toText(search_) : upperCase(qt::toText(search_));
    const QTextBlock last =
        editor_.cursorForPosition(QPoint(0, editor_.viewport()->height())).block();
    for (QTextBlock block = editor_.cursorForPosition(QPoint(0, 0)).block(); block.isValid();
         block = block.next()) {
      const Text text = qt::toText(block.text());
      const Text folded = matchCase_ ? text : upperCase(text);
      for (size_t at = folded.find(what); at != Text::npos;
           at = folded.find(what, at + what.size())) {
        QTextCursor match(editor_.document());
        match.setPosition(block.position() + static_cast<int>(at));
        match.setPosition(block.position() + static_cast<int>(at + what.size()),
                          QTextCursor::KeepAnchor);
        marks << mark(match, kMatch);
        ++matches_;
      }
      if (block == last) break;
    }
  }
  editor_.setExtraSelections(marks);
}

}  // namespace tavi
