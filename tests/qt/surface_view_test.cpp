// The Qt editing surface as a person's input reaches it: an input method's text, assistive
// technology, and the gutter's numbers beside a view scrolled to the end of a text whose
// lines are long or hold tall glyphs. (A key typing a surrogate pair: the differential.)
#include <QAccessible>
#include <QInputMethodEvent>
#include <QScrollBar>

#include "qt/gutter_canvas.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

using QtSurfaceViewTest = testing::QtWidgetFixture;

// Committed text lands plain, even right behind a keyword, and is one change; the text
// still being composed is shown, not stored.
TEST_F(QtSurfaceViewTest, InputMethodTextAfterAKeywordIsPlainAndOneChange) {
  widget.setText(QStringLiteral("QUIT"));
  widget.colourAll();
  ASSERT_TRUE(isKeyword(3));
  widget.surface().setSelStart(4);
  changes = 0;
  QInputMethodEvent composing(QStringLiteral("ab"), {});
  QApplication::sendEvent(editor(), &composing);
  EXPECT_EQ(editor()->preedit(), QStringLiteral("ab"));
  EXPECT_EQ(value(), QStringLiteral("QUIT"));
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral(" x\ny"));
  QApplication::sendEvent(editor(), &commit);
  EXPECT_EQ(value(), QStringLiteral("QUIT x\r\ny"));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(editor()->preedit().isEmpty());
  for (int32_t offset = 4; offset < 9; ++offset) {
    EXPECT_EQ(widget.surface().colorAt(offset), kColorPlain) << offset;
    EXPECT_FALSE(widget.surface().boldAt(offset)) << offset;
  }
  EXPECT_EQ(editor()->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("y"));
  EXPECT_EQ(editor()->inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);
}

// An input method's correction replaces the text it names around the caret (here "teh"
// before it), in one change, and leaves the caret behind the corrected word.
TEST_F(QtSurfaceViewTest, InputMethodCorrectionReplacesTheTextItNames) {
  widget.setText(QStringLiteral("GIVE teh RAN"));
  widget.surface().setSelStart(8);
  changes = 0;
  QInputMethodEvent correction;
  correction.setCommitString(QStringLiteral("the"), -3, 3);
  QApplication::sendEvent(editor(), &correction);
  EXPECT_EQ(value(), QStringLiteral("GIVE the RAN"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(widget.surface().selStart(), 8);
}

TEST_F(QtSurfaceViewTest, AssistiveTechnologyReadsAndSetsTheTextCaretAndSelection) {
  widget.setText(QStringLiteral("IF x\r\nQUIT"));
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(editor());
  ASSERT_NE(accessible, nullptr);
  QAccessibleTextInterface* text = accessible->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 10);
  EXPECT_EQ(text->text(3, 6), QStringLiteral("x\r\n"));
  widget.surface().setSelStart(4);
  EXPECT_EQ(text->cursorPosition(), 4);
  text->setSelection(0, 6, 10);
  EXPECT_EQ(widget.selectedText(), QStringLiteral("QUIT"));
  int start = -1;
  int end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(6, 10));
}

// The numbers run from the first visible line, one a row, however wide or tall the text.
TEST_F(QtSurfaceViewTest, GutterNumbersAfterCtrlEndStartAtTheFirstVisibleLine) {
  const QString emoji = QString::fromUcs4(U"\U0001F600");
  for (const QString& odd : {QStringLiteral("WAIT ").repeated(200), emoji + emoji}) {
    SCOPED_TRACE(odd.left(10).toStdString());
    QString script;
    for (int i = 1; i <= 60; ++i)
      script += (i == 45 ? odd : QStringLiteral("WAIT %1").arg(i)) + "\r\n";
    widget.selectAll();
    widget.setLoadFlag(true);
    widget.setText(script);
    widget.setLoadFlag(false);
    key(Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    const int32_t first = widget.surface().firstVisibleLine();
    EXPECT_EQ(first, widget.surface().lineCount() - editor()->rowsInView());
    EXPECT_EQ(editor()->horizontalScrollBar()->maximum() > 0, odd.size() > 100) << "wide";
    widget.gutterCanvas().paint();
    const std::vector<qt::GutterNumber>& numbers = widget.gutterCanvas().lastNumbers();
    ASSERT_GE(numbers.size(), static_cast<size_t>(editor()->rowsInView()));
    for (size_t row = 0; row < numbers.size(); ++row) {
      EXPECT_EQ(numbers[row].text, qt::toText(QString::number(first + row + 1))) << row;
      EXPECT_EQ(numbers[row].rect.top - numbers.front().rect.top,
                static_cast<int>(row) * editor()->lineHeight());
    }
  }
}

}  // namespace
}  // namespace tavi
