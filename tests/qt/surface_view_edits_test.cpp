// The Qt view after edits: the layouts it keeps follow the lines an edit moved, dropped or
// changed, and a caret taken beyond the right edge is scrolled into view by the time anyone
// asks where it stands.
#include <QScrollBar>

#include "widget_fixture.h"

namespace tavi {
namespace {

using QtSurfaceViewEditsTest = testing::QtWidgetFixture;

// Lines of distinct widths, so that a layout kept for the wrong line shows.
QString numberedLines(int count) {
  QStringList lines;
  for (int i = 0; i < count; ++i) lines << QString(i % 7 + 1, QChar(u'a' + i % 26));
  return lines.join(QStringLiteral("\r\n"));
}

struct Edit {
  const char* what;
  int32_t start;
  int32_t length;
  const char16_t* insert;
};

TEST_F(QtSurfaceViewEditsTest, EveryLineInViewIsDrawnFromItsOwnTextAfterEachEdit) {
  widget.setKeywordHighlight(false);
  widget.setText(numberedLines(30));
  const Edit edits[] = {
      {.what = "two lines above the rest", .start = 4, .length = 0, .insert = u"xy\r\nz\r\n"},
      {.what = "lines removed across breaks", .start = 10, .length = 25, .insert = u""},
      {.what = "as many breaks replaced", .start = 2, .length = 9, .insert = u"q\r\nqqqqqq\r\n"},
      {.what = "a break at the first line's start", .start = 0, .length = 0, .insert = u"\r\n"},
      {.what = "one character typed on a line", .start = 7, .length = 0, .insert = u"w"},
  };
  const auto& model = editor()->model();
  const QFontMetricsF metrics(editor()->font());
  for (const Edit& edit : edits) {
    // Each line laid out and kept, then the edit.
    for (int32_t line = 0; line < model.lineCount(); ++line) editor()->pointOf(model.lineEnd(line));
    widget.surface().setSelStart(edit.start);
    widget.surface().setSelLength(edit.length);
    widget.surface().replaceSelection(edit.insert);
    for (int32_t line = 0; line < std::min(model.lineCount(), editor()->rowsInView()); ++line) {
      const int32_t start = model.lineStart(line);
      const QString text = qt::toQString(model.slice(start, model.lineEnd(line) - start));
      const int drawn = editor()->pointOf(model.lineEnd(line)).x() - editor()->pointOf(start).x();
      EXPECT_NEAR(drawn, metrics.horizontalAdvance(text), 1.0)
          << edit.what << ": line " << line << " \"" << text.toStdString() << '"';
    }
  }
}

TEST_F(QtSurfaceViewEditsTest, ACaretBeyondTheRightEdgeIsInViewWhenAskedForAndOnceEventsSettle) {
  widget.setText(QString(400, u'x') + QStringLiteral("\r\nshort"));
  const int width = editor()->viewport()->width();
  widget.surface().setSelStart(400);
  // Asked at once, before any event is processed.
  const int x = editor()->pointOf(400).x();
  EXPECT_GE(x, 0);
  EXPECT_LT(x, width);
  EXPECT_GT(editor()->horizontalScrollBar()->value(), 0);
  // Typing on keeps it in view.
  type(QStringLiteral("yyyyyyyyyyyyyyyyyyyy"));
  QApplication::processEvents();
  EXPECT_LT(editor()->pointOf(widget.surface().selStart()).x(), width);
  // Back to the short line, the view scrolls back to the left.
  key(Qt::Key_Down);
  key(Qt::Key_Home);
  QApplication::processEvents();
  EXPECT_EQ(editor()->horizontalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace tavi
