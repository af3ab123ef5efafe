// tavi-edit's main window on the offscreen platform: its search bar, lock, zoom, recent
// files and view marks, driven as a person drives them. Message boxes are answered at once
// and recorded.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "qt/gutter_canvas.h"
#include "tavi-edit/main_window.h"
#include "tavi-edit/search_bar.h"
#include "tavi-edit/view_marks.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

class QtEditWindowTest : public ::testing::Test {
 protected:
  QtEditWindowTest()
      : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat),
        window(&settings) {
    window.editor().services().messages.setAnswerer([this](TextView text, int32_t, TextView) {
      messages.push_back(qt::toQString(text));
      return 1;
    });
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    QObject::connect(&window.editor(), &TaviColorTextWidget::onChange, [this] { ++changes; });
  }
  ~QtEditWindowTest() override { window.editor().services().messages.setAnswerer(nullptr); }

  // A file in the test's folder holding `text`, opened.
  QString open(const QString& name, const QByteArray& text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    EXPECT_TRUE(window.openFile(path));
    return path;
  }
  qt::SurfaceView* editor() { return window.editor().editor(); }
  QString value() { return window.editor().value(); }
  qt::QtEditSurface& surface() { return window.editor().surface(); }
  void select(int32_t start, int32_t length) {
    surface().setSelStart(start);
    surface().setSelLength(length);
  }
  void search(const QString& what, const QString& with = {}, bool matchCase = false) {
    window.searchBar().open(true);
    window.searchBar().findField()->setText(what);
    window.searchBar().replaceField()->setText(with);
    window.searchBar().matchCaseBox()->setChecked(matchCase);
  }
  QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }

  QTemporaryDir dir;
  QSettings settings;
  MainWindow window;
  std::vector<QString> messages;
  int changes = 0;
};

TEST_F(QtEditWindowTest, ReplaceOnlyReplacesASelectedMatchAndOtherwiseFindsOneFirst) {
  open(QStringLiteral("a.scr"), "GIVE RAN A\r\nWAIT 2\r\nGIVE RAN B\r\n");
  search(QStringLiteral("give ran"), QStringLiteral("GIVE MUSIC"));
  select(12, 4);  // "WAIT": unrelated text
  window.replaceOnce();
  EXPECT_EQ(value(), QStringLiteral("GIVE RAN A\r\nWAIT 2\r\nGIVE RAN B")) << "nothing replaced";
  EXPECT_EQ(surface().selStart(), 0) << "the search's next match";
  EXPECT_EQ(surface().selText(), u"GIVE RAN");

  window.replaceOnce();  // the selected match, then on to the next one
  EXPECT_EQ(value(), QStringLiteral("GIVE MUSIC A\r\nWAIT 2\r\nGIVE RAN B"));
  EXPECT_EQ(surface().selStart(), 22);
  EXPECT_EQ(surface().selText(), u"GIVE RAN");

  // A match the person selected by hand, no search having found it, is replaced too.
  open(QStringLiteral("b.scr"), "GIVE RAN A\r\n");
  select(0, 8);
  window.replaceOnce();
  EXPECT_EQ(value(), QStringLiteral("GIVE MUSIC A"));

  // With Match Case the selection "GIVE RAN" is no match of "give ran": nothing changes.
  open(QStringLiteral("c.scr"), "GIVE RAN A\r\n");
  search(QStringLiteral("give ran"), QStringLiteral("x"), true);
  select(0, 8);
  window.replaceOnce();
  EXPECT_EQ(value(), QStringLiteral("GIVE RAN A"));
  EXPECT_EQ(messages.back(), QStringLiteral("The text was not found."));
}

TEST_F(QtEditWindowTest, AnEmptySearchTextIsToldNotIgnored) {
  open(QStringLiteral("a.scr"), "WAIT 2\r\n");
  search({}, QStringLiteral("x"));
  select(0, 4);
  for (const auto& command : {&MainWindow::replaceOnce, &MainWindow::replaceAll}) {
    messages.clear();
    (window.*command)();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Type the text to find in the search bar first."));
  }
  window.findAgain(false);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(value(), QStringLiteral("WAIT 2"));
  EXPECT_TRUE(window.searchBar().isVisible());
}

TEST_F(QtEditWindowTest, EditLockTogglesAndALockedScriptRefusesEdits) {
  open(QStringLiteral("a.scr"), "WAIT 2\r\n");
  QAction* lock = action("lock");
  lock->trigger();
  EXPECT_TRUE(window.editor().isLocked());
  EXPECT_TRUE(lock->isChecked());
  EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("[locked]")));
  editor()->setFocus();
  QTest::keyClicks(editor(), QStringLiteral("x"));
  select(0, 4);
  window.editor().deleteSelection();
  search(QStringLiteral("WAIT"), QStringLiteral("x"));
  EXPECT_FALSE(window.searchBar().replaceButton()->isEnabled());
  EXPECT_EQ(value(), QStringLiteral("WAIT 2"));

  lock->trigger();
  EXPECT_FALSE(window.editor().isLocked());
  EXPECT_FALSE(lock->isChecked());
  EXPECT_TRUE(window.searchBar().replaceButton()->isEnabled());
  select(6, 0);
  QTest::keyClicks(editor(), QStringLiteral("0"));
  EXPECT_EQ(value(), QStringLiteral("WAIT 20"));
  EXPECT_FALSE(window.windowTitle().contains(QStringLiteral("[locked]")));
}

TEST_F(QtEditWindowTest, CtrlShiftZRedoesAsCtrlYDoes) {
  open(QStringLiteral("a.scr"), "WAIT\r\n");
  editor()->setFocus();
  select(4, 0);
  QTest::keyClicks(editor(), QStringLiteral(" 2"));
  for (const Qt::KeyboardModifiers redo :
       {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
        Qt::KeyboardModifiers(Qt::ControlModifier)}) {
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NE(value(), QStringLiteral("WAIT 2"));
    QTest::keyClick(editor(), redo == Qt::ControlModifier ? Qt::Key_Y : Qt::Key_Z, redo);
    EXPECT_EQ(value(), QStringLiteral("WAIT 2"));
  }
}

// Each gutter number stands on its line at every zoom, the numbers as tall as the lines.
TEST_F(QtEditWindowTest, ZoomGrowsTheTextAndTheGutterNumbersTogether) {
  QByteArray script;
  for (int i = 1; i <= 60; ++i) script += "WAIT " + QByteArray::number(i) + "\r\n";
  open(QStringLiteral("a.scr"), script);
  const qreal usual = editor()->font().pointSizeF();
  QWidget* frame = editor()->parentWidget();
  const std::vector<qt::GutterNumber>& numbers = window.editor().gutterCanvas().lastNumbers();
  for (const char* step : {"zoomIn", "zoomIn", "zoomOut", "zoomOut", "zoomOut", "resetZoom"}) {
    SCOPED_TRACE(step);
    action(step)->trigger();
    QApplication::processEvents();
    window.editor().gutterCanvas().paint();
    ASSERT_GT(numbers.size(), 3u);
    const int spacing = surface().lineSpacing();
    for (size_t row = 0; row < 3; ++row) {
      const QPoint line = editor()->pointOf(surface().lineStart(static_cast<int32_t>(row)));
      EXPECT_EQ(window.editor().gutter()->mapTo(frame, QPoint(0, numbers[row].rect.top)).y(),
                editor()->viewport()->mapTo(frame, line).y());
      EXPECT_EQ(numbers[row].rect.bottom - numbers[row].rect.top, spacing);
    }
  }
  action("zoomIn")->trigger();
  EXPECT_GT(editor()->font().pointSizeF(), usual);
  action("resetZoom")->trigger();
  EXPECT_EQ(editor()->font().pointSizeF(), usual);
}

TEST_F(QtEditWindowTest, OpenRecentListsTheLastEightMostRecentFirstWithoutVanishedFiles) {
  QStringList paths;
  for (int i = 1; i <= 10; ++i) paths << open(QStringLiteral("s%1.scr").arg(i), "QUIT\r\n");
  QMenu* menu = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
  const auto entries = [menu] {
    emit menu->aboutToShow();
    QStringList shown;
    for (QAction* a : menu->actions()) shown << a->data().toString();
    return shown;
  };
  QStringList expected;
  for (int i = 9; i >= 2; --i) expected << paths[i];
  EXPECT_EQ(entries(), expected);

  QFile::remove(paths[9]);  // gone before the menu shows: dropped
  expected.removeFirst();
  EXPECT_EQ(entries(), expected);

  QFile::remove(paths[8]);  // gone after the menu showed: reported when chosen, then dropped
  menu->actions().first()->trigger();
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages.back().contains(QStringLiteral("s9.scr no longer exists")));
  expected.removeFirst();
  EXPECT_EQ(entries(), expected);

  menu->actions().last()->trigger();  // s3.scr: opened and first again
  EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("s3.scr")));
  EXPECT_EQ(entries().first(), paths[2]);
}

// The current line and the matches in view are marks over the text: the text's own
// formats, its history and onChange know nothing of them.
TEST_F(QtEditWindowTest, TheCurrentLineAndTheMatchesAreMarkedWithoutTouchingTheText) {
  open(QStringLiteral("a.scr"), "GIVE RAN A\r\nWAIT 2\r\ngive ran b\r\n");
  changes = 0;
  const std::vector<FormatRun> before = surface().formats();
  search(QStringLiteral("GIVE RAN"));
  QApplication::processEvents();
  EXPECT_EQ(window.marks().matchesInView(), 2) << "both cases";
  const std::vector<qt::SurfaceView::Mark>& marks = editor()->marks();
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_TRUE(marks[0].wholeLine);
  EXPECT_EQ(surface().model().slice(marks[1].start, marks[1].length), u"GIVE RAN");
  EXPECT_EQ(surface().model().slice(marks[2].start, marks[2].length), u"give ran");

  window.searchBar().matchCaseBox()->setChecked(true);
  EXPECT_EQ(window.marks().matchesInView(), 1);
  window.searchBar().dismiss();
  EXPECT_EQ(window.marks().matchesInView(), 0);
  EXPECT_EQ(editor()->marks().size(), 1u) << "the current line stays marked";

  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(window.isModified());
  EXPECT_EQ(surface().formats(), before);
  window.editor().undo();
  EXPECT_EQ(value(), QStringLiteral("GIVE RAN A\r\nWAIT 2\r\ngive ran b")) << "nothing to undo";
}

}  // namespace
}  // namespace tavi
