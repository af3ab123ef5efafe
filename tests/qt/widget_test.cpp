// The control in real Qt widgets, driven through QTest key and mouse events.
#include <QLabel>
#include <QScrollBar>

#include "qt/gutter_canvas.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

using QtWidgetTest = testing::QtWidgetFixture;

// The hint stands right of and below the caret, as wide as its text, until the caret leaves
// the line. (The list's focus and the hint's text: the completion_list and parameter_hint
// scenarios, which mask positions.)
TEST_F(QtWidgetTest, TheHintStandsBesideTheCaretUntilTheCaretLeavesTheLine) {
  type(QStringLiteral("WAIT 2"));
  key(Qt::Key_Return);
  type(QStringLiteral("AND"));
  const QRect caret = caretRect();
  type(QStringLiteral(" "));
  QLabel* hint = widget.hint();
  ASSERT_TRUE(hint->isVisible());
  const QPoint at = hint->pos();
  EXPECT_TRUE(at.x() > caret.left() && at.x() < caret.left() + 60) << at.x() << " " << caret.left();
  EXPECT_TRUE(at.y() >= caret.top() && at.y() < caret.bottom() + 30) << at.y();
  EXPECT_GE(hint->width(), QFontMetrics(widget.font()).horizontalAdvance(hint->text()));
  key(Qt::Key_Up);  // to another line: the hint goes
  EXPECT_FALSE(hint->isVisible());
}

// The painted numbers follow scrolling at the next tick and sit on their lines' rows, late
// rows and the end of the range included.
TEST_F(QtWidgetTest, TheGutterFollowsScrollingWithinOneTickAndItsNumbersSitOnTheirLines) {
  QString script;
  for (int i = 1; i <= 200; ++i) script += QStringLiteral("WAIT %1\n").arg(i);
  widget.setLoadFlag(true);
  widget.setText(script);
  widget.resize(640, 700);  // room for more than 30 rows
  const std::vector<qt::GutterNumber>& numbers = widget.gutterCanvas().lastNumbers();
  ASSERT_FALSE(numbers.empty());
  EXPECT_EQ(numbers.front().text, u"1");
  QScrollBar* bar = editor()->verticalScrollBar();
  bar->setValue(bar->maximum() / 2);
  const int32_t middle = widget.surface().firstVisibleLine();
  ASSERT_GT(middle, 10);
  EXPECT_EQ(numbers.front().text, u"1") << "not while scrolling";
  QTest::qWait(1100);
  EXPECT_EQ(numbers.front().text, qt::toText(QString::number(middle + 1)));

  QWidget* frame = editor()->parentWidget();
  for (const int scroll : {0, 40, -1}) {
    SCOPED_TRACE(scroll);
    bar->setValue(scroll < 0 ? bar->maximum() : scroll);
    widget.gutterCanvas().paint();
    const int first = widget.surface().firstVisibleLine();
    if (scroll < 0)
      EXPECT_EQ(numbers.back().text, u"201") << "the empty line behind the last break";
    else
      ASSERT_EQ(first, scroll);
    ASSERT_GT(numbers.size(), 31u);
    for (const size_t row : {size_t{0}, size_t{30}, numbers.size() - 1}) {
      SCOPED_TRACE(row);
      EXPECT_EQ(numbers[row].text, qt::toText(QString::number(first + row + 1)));
      const QPoint line =
          editor()->pointOf(widget.surface().lineStart(first + static_cast<int32_t>(row)));
      EXPECT_EQ(widget.gutter()->mapTo(frame, QPoint(0, numbers[row].rect.top)).y(),
                editor()->viewport()->mapTo(frame, line).y());
    }
  }
}

TEST_F(QtWidgetTest, TheDispatchTableReachesTheControlByName) {
  widget.setProperty("m_strLang", QStringLiteral("en"));
  EXPECT_EQ(widget.property("M_STRLANG").toString(), QStringLiteral("en"));
  widget.dynamicCall(QStringLiteral("Text"), {QStringLiteral("IF QUIT")});
  EXPECT_EQ(widget.property("Value").toString(), QStringLiteral("IF QUIT"));
  QVariantList args{1, 4};
  widget.dynamicCall(QStringLiteral("HighlightLine(line, startPos)"), args);
  EXPECT_EQ(widget.selectedText(), QStringLiteral("QUIT"));
  int failure = -1;
  QObject::connect(&widget, &TaviColorTextWidget::exception,
                   [&failure](int code, const QString&) { failure = code; });
  QVariantList outside{9, 0};
  widget.dynamicCall(QStringLiteral("HighlightLine"), outside);
  EXPECT_EQ(failure, 9) << "subscript out of range";
  EXPECT_EQ(widget.property("objectName"), QVariant(QString())) << "a QObject property";
}

// Designer and QML see the opt-in extensions as Qt properties: off at start, and the same
// state as the dispatch table's members of those names.
TEST_F(QtWidgetTest, TheOptInExtensionsAreQtPropertiesOffAtStart) {
  QObject& object = widget;  // the meta-object's properties, not the dispatch table's
  for (const char* name : {"colourOnLoad", "strictLock", "hideEmptyHint", "listKeepsKeys",
                           "undoByWords", "shiftTabOutdent"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(object.property(name), QVariant(false));
    ASSERT_TRUE(object.setProperty(name, true));
    EXPECT_EQ(widget.property(name), QVariant(true)) << "the control's member of that name";
  }
  int failure = -1;
  QObject::connect(&widget, &TaviColorTextWidget::exception,
                   [&failure](int code, const QString&) { failure = code; });
  EXPECT_TRUE(widget.setKeywordHint(QStringLiteral("WAIT"), QStringLiteral("seconds")));
  EXPECT_FALSE(widget.setKeywordHint(QStringLiteral("wait"), QStringLiteral("seconds")));
  EXPECT_EQ(failure, 5) << "no keyword: invalid procedure call";
}

}  // namespace
}  // namespace tavi
