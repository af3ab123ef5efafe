#include "view_marks.h"

#include <QTimer>

#include <algorithm>
#include <vector>

#include "qt/surface_view.h"
#include "qt/units.h"
#include "shell/text.h"

namespace tavi {

namespace {

const QColor kCurrentLine(0xF1, 0xF5, 0xFB);
const QColor kMatch(0xFF, 0xE4, 0x7A);

}  // namespace

ViewMarks::ViewMarks(qt::SurfaceView& editor) : QObject(&editor), editor_(editor) {
  connect(&editor, &qt::SurfaceView::caretMoved, this, &ViewMarks::schedule);
  connect(&editor, &qt::SurfaceView::textEdited, this, &ViewMarks::schedule);
  connect(&editor, &qt::SurfaceView::linesInViewChanged, this, &ViewMarks::schedule);
  refresh();
}

void ViewMarks::setSearch(const QString& text, bool matchCase) {
  search_ = text;
  matchCase_ = matchCase;
  refresh();
}

// The control colours by moving the selection, so the caret "moves" many times while it
// works: the marks wait for the events to settle and are made once.
void ViewMarks::schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    if (scheduled_) refresh();
  });
}

void ViewMarks::refresh() {
  scheduled_ = false;
  const SurfaceModel& model = editor_.model();
  const int32_t caretLine = model.lineFromChar(model.activeEnd());
  std::vector<qt::SurfaceView::Mark> marks;
  marks.push_back({.start = model.lineStart(caretLine),
                   .length = model.lineEnd(caretLine) - model.lineStart(caretLine),
                   .background = kCurrentLine,
                   .wholeLine = true});

  matches_ = 0;
  if (!search_.isEmpty()) {
    // Only the lines in view: a long script may hold a match on every line. A search text
    // has no line break, so each match lies within one line.
    const Text what = matchCase_ ? qt::toText(search_) : upperCase(qt::toText(search_));
    const int32_t first = editor_.firstVisibleLine();
    const int32_t last = std::min(model.lineCount() - 1, first + editor_.rowsInView());
    for (int32_t line = first; line <= last; ++line) {
      const int32_t start = model.lineStart(line);
      const Text text = model.slice(start, model.lineEnd(line) - start);
      const Text folded = matchCase_ ? text : upperCase(text);
      for (size_t at = folded.find(what); at != Text::npos;
           at = folded.find(what, at + what.size())) {
        marks.push_back({.start = start + static_cast<int32_t>(at),
                         .length = static_cast<int32_t>(what.size()),
                         .background = kMatch});
        ++matches_;
      }
    }
  }
  editor_.setMarks(std::move(marks));
}

}  // namespace tavi
