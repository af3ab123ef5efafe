// The opt-in key extensions on the real widgets: Shift+Tab reaches the control as Tab with
// Shift and leaves the focus in the editor; with ListKeepsKeys the list's keys move its
// selection while the focus and the caret stay in the editor.
#include <QLineEdit>

#include "widget_fixture.h"

namespace tavi {
namespace {

class QtExtensionKeysTest : public testing::QtWidgetFixture {
 protected:
  QtExtensionKeysTest() : next(new QLineEdit(&widget)) {
    next->show();  // a tab stop after the editor, where a Tab would take the focus
    editor()->setFocus();
  }
  QLineEdit* next;
};

// Qt reports Shift+Tab as Backtab, or as Tab with Shift; both are KeyCode 9, Shift 1.
TEST_F(QtExtensionKeysTest, ShiftTabOutdentsAndKeepsTheFocusInTheEditor) {
  for (const Qt::Key key : {Qt::Key_Backtab, Qt::Key_Tab}) {
    SCOPED_TRACE(key);
    widget.setProperty("ShiftTabOutdent", false);
    widget.surface().setSelStart(0);
    widget.surface().setSelLength(widget.surface().textLength());
    widget.setText(QStringLiteral("IF\r\n\t\tQUIT"));
    widget.surface().setSelStart(8);
    QTest::keyClick(editor(), key, Qt::ShiftModifier);
    EXPECT_EQ(widget.control().m_vLastKeyCode, 9);
    EXPECT_EQ(widget.control().m_vLastShift, 1);
    EXPECT_EQ(value(), QStringLiteral("IF\r\n\t\tQUIT")) << "off: nothing changes";
    EXPECT_TRUE(editor()->hasFocus());
    widget.setProperty("ShiftTabOutdent", true);
    QTest::keyClick(editor(), key, Qt::ShiftModifier);
    EXPECT_EQ(value(), QStringLiteral("IF\r\n\tQUIT"));
    EXPECT_EQ(widget.surface().selStart(), 7) << "the caret moves with its text";
    EXPECT_TRUE(editor()->hasFocus());
  }
  widget.surface().setSelStart(4);
  key(Qt::Key_Tab);
  EXPECT_EQ(value(), QStringLiteral("IF\r\n\t\tQUIT")) << "Tab still indents";
  EXPECT_TRUE(editor()->hasFocus());
}

TEST_F(QtExtensionKeysTest, TheListsKeysStayWithTheListAndEnterCommits) {
  widget.setProperty("ListKeepsKeys", true);
  type(QStringLiteral("WAIT 2"));
  key(Qt::Key_Return);
  type(QStringLiteral("QUE"));
  key(Qt::Key_F1);
  QListWidget* list = widget.keywordList();
  ASSERT_TRUE(list->isVisible());
  const int32_t caret = widget.surface().selStart();
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  key(Qt::Key_Up);
  EXPECT_EQ(list->currentItem()->text(), QStringLiteral("QUEUE TO NACD"));
  EXPECT_TRUE(editor()->hasFocus());
  EXPECT_EQ(widget.surface().selStart(), caret);
  key(Qt::Key_Return);  // commits in place of QUE, without a line break
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(value(), QStringLiteral("WAIT 2\r\nQUEUE TO NACD"));
}

}  // namespace
}  // namespace tavi
