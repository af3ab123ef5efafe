// ShiftTabOutdent on the real widgets: Shift+Tab, as either key Qt reports, reaches the
// control as Tab with Shift and leaves the focus in the editor. (ListKeepsKeys on Qt: the
// extensions_list_keys scenario.)
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

}  // namespace
}  // namespace tavi
