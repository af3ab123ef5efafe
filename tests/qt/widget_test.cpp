// The control in real Qt widgets, driven through QTest key and mouse events.
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

#include "qt/gutter_canvas.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

using QtWidgetTest = testing::QtWidgetFixture;

TEST_F(QtWidgetTest, TypedKeywordsTurnBlueAndBoldInTheEditorsFormats) {
  // A person clicks into the editor first: once the caret has moved, typing colours words.
  QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, {2, 2});
  type(QStringLiteral("IF CALL RATE THEN QUIT x"));
  const QString text = value();
  for (const char* word : {"IF", "CALL RATE", "THEN", "QUIT"}) {
    const auto at = static_cast<int32_t>(text.indexOf(QLatin1String(word)));
    for (int32_t i = at; i < at + static_cast<int32_t>(qstrlen(word)); ++i)
      EXPECT_TRUE(isKeyword(i)) << word << " at " << i;
  }
  EXPECT_FALSE(isKeyword(2)) << "the blank after IF";
  EXPECT_EQ(widget.surface().colorAt(23), kColorPlain) << "a plain word";
}

// Each typed character is one change; the control's own format changes are none. Undo and
// redo are the control's: the editor keeps no history of its own.
TEST_F(QtWidgetTest, OnlyTextChangesRaiseOnChangeAndUndoIsTheControls) {
  type(QStringLiteral("WAIT 2"));
  key(Qt::Key_Return);
  EXPECT_EQ(value(), QStringLiteral("WAIT 2\r\n"));
  EXPECT_EQ(changes, 7);
  qt::QtEditSurface& surface = widget.surface();
  surface.setSelStart(0);
  surface.setSelLength(6);
  surface.setSelColor(0xFF0000);
  surface.setSelBold(true);
  surface.setSelColor(0);
  surface.setSelStart(8);
  type(QStringLiteral(" "));  // the key release recolours the span around the caret
  EXPECT_EQ(changes, 8) << "only the typed blank";
  widget.undo();
  widget.undo();
  EXPECT_EQ(value(), QStringLiteral("WAIT 2"));
  widget.redo();
  key(Qt::Key_Z, Qt::ControlModifier);  // the editor has no undo stack of its own
  EXPECT_EQ(value(), QStringLiteral("WAIT 2\r\n"));
}

// The list takes the focus on Down and gives it back on Enter; the committed keyword's hint
// stands beside the caret until the caret leaves the line.
TEST_F(QtWidgetTest, TheCompletionListAndTheHintFollowTheFocusAndTheCaret) {
  type(QStringLiteral("WAIT 2"));
  key(Qt::Key_Return);
  key(Qt::Key_F1);
  QListWidget* list = widget.keywordList();
  ASSERT_TRUE(list->isVisible());
  type(QStringLiteral("QUE"));
  EXPECT_EQ(list->currentItem()->text(), QStringLiteral("QUEUE TO AGENT"));
  key(Qt::Key_Down);  // into the list, on its first entry
  ASSERT_TRUE(list->hasFocus());
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->currentItem()->text(), QStringLiteral("AND"));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_TRUE(editor()->hasFocus());
  EXPECT_TRUE(list->isVisible()) << "the Enter went to the list, not to the editor";
  const QRect caret = caretRect();
  type(QStringLiteral(" "));
  EXPECT_EQ(value(), QStringLiteral("WAIT 2\r\nAND "));
  EXPECT_FALSE(list->isVisible());
  QLabel* hint = widget.hint();
  ASSERT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(), QStringLiteral("tham so 1,tham so 2,tham so 3"));
  // Right of and below the caret, in the editor.
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

// Tab on a selected block indents it and keeps the focus.
TEST_F(QtWidgetTest, TabIndentsTheSelectedBlock) {
  widget.setText(QStringLiteral("IF\r\nQUIT"));
  qt::QtEditSurface& surface = widget.surface();
  surface.setSelStart(0);
  surface.setSelLength(8);
  surface.setHideSelection(false);
  key(Qt::Key_Tab);
  EXPECT_EQ(value(), QStringLiteral("\tIF\r\n\tQUIT"));
  EXPECT_TRUE(editor()->hasFocus());
  EXPECT_EQ(surface.selStart(), 1);
  EXPECT_EQ(surface.selLength(), 9);
}

// A left click places the caret where it lands; the right button opens the host's menu.
TEST_F(QtWidgetTest, TheMouseButtonsReachTheControl) {
  widget.setText(QStringLiteral("IF QUIT"));
  widget.surface().setSelStart(5);
  QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, {1, editor()->lineHeight() / 2});
  EXPECT_EQ(widget.surface().selStart(), 0);
  EXPECT_EQ(events.back(), 1006);
  QTest::mouseClick(editor()->viewport(), Qt::RightButton, {}, QPoint(20, 5));
  QMenu* menu = widget.popupMenu();
  ASSERT_EQ(menu->actions().size(), 6);
  EXPECT_TRUE(menu->isVisible());
  menu->actions()[5]->trigger();
  EXPECT_EQ(widget.surface().selLength(), 7);
  EXPECT_EQ(events.back(), 1005);
  menu->hide();
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

TEST_F(QtWidgetTest, TypingStopsAtTheMaximumLengthWithTheHostsWarning) {
  widget.setMaxLength(5);
  type(QStringLiteral("ABCDEFG"));
  EXPECT_EQ(value(), QStringLiteral("ABCDE"));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), QStringLiteral("The script may hold at most 5 characters."));
}

}  // namespace
}  // namespace tavi
