#include "editing/clipboard_commands.h"

#include "support/control_fixture.h"

namespace tavi {
namespace {

class ClipboardCommandsTest : public testing::ControlFixture {
 protected:
  ClipboardCommandsTest() { control.module().m_bCaretMoved = false; }
  HeadlessEditSurface& surface() { return widgets.surface(); }
  HeadlessClipboard& clipboard() { return platform.clipboard(); }
  void selectRange(int32_t start, int32_t length) {
    surface().setSelStart(start);
    surface().setSelLength(length);
  }
  // Every character coloured as a keyword, so that a reset to the plain style shows.
  void colourAllAsKeywords() {
    selectRange(0, surface().textLength());
    surface().setSelColor(kColorKeyword);
    surface().setSelBold(true);
  }
  // A load replaces the selection: select everything first.
  void reload(TextView t) {
    selectRange(0, surface().textLength());
    load(t);
  }
  std::string lastEvent() const { return sink.events.empty() ? "" : sink.events.back(); }
};

struct CommandRow {
  const char* name;
  Variant (TaviColorText::*command)();
  const char* event;
  bool setsChange;
  bool showsHourglass;
  const char16_t* textAfter;
};

TEST_F(ClipboardCommandsTest, EachCommandReportsFlagsCursorAndUndoes) {
  const CommandRow rows[] = {
      {"Cut", &TaviColorText::Cut, "1001", true, true, u"abc "},
      {"Copy", &TaviColorText::Copy, "1002", false, true, u"abc def"},
      {"Paste", &TaviColorText::Paste, "1003", true, true, u"abc xy"},
      {"Delete", &TaviColorText::Delete, "1004", true, true, u"abc "},
      {"SelectAll", &TaviColorText::SelectAll, "1005", false, false, u"abc def"},
  };
  for (const CommandRow& row : rows) {
    SCOPED_TRACE(row.name);
    reload(u"abc def");
    selectRange(4, 3);
    clipboard().setContent(Text(u"xy"));
    control.m_bChange = false;
    surface().setMousePointer(99);
    sink.events.clear();
    EXPECT_TRUE((control.*row.command)().isEmpty());
    EXPECT_EQ(text(), row.textAfter);
    EXPECT_EQ(lastEvent(), row.event);
    EXPECT_EQ(control.m_bChange, row.setsChange);
    EXPECT_EQ(surface().mousePointer(), row.showsHourglass ? kPointerDefault : 99);
    EXPECT_TRUE(control.m_bTrackChanges);
    if (!row.setsChange) continue;
    control.Undo();  // each edit is one journalled step
    EXPECT_EQ(text(), u"abc def");
    control.Redo();
    EXPECT_EQ(text(), row.textAfter);
  }
}

TEST_F(ClipboardCommandsTest, CutJournalsAndResetsTheCaretLineToPlain) {
  load(u"AB\r\nCDEF\r\nGH");
  colourAllAsKeywords();
  selectRange(5, 2);
  const int32_t snapshots = control.m_colUndo.count();
  Cut(control);
  EXPECT_EQ(text(), u"AB\r\nCF\r\nGH");
  EXPECT_EQ(clipboard().content(), Text(u"DE"));
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1);
  // The line with the LF before it is plain; the CR before and the next line break keep theirs.
  std::vector<FormatRun> runs = {
      {0, 3, kColorKeyword, true}, {3, 3, kColorPlain, false}, {6, 4, kColorKeyword, true}};
  EXPECT_EQ(surface().formats(), runs);
  EXPECT_EQ(surface().selStart(), 5);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_TRUE(surface().hasFocus());

  reload(u"ABCD\r\nEF");  // on the first line from offset 0
  colourAllAsKeywords();
  selectRange(1, 2);
  Cut(control);
  EXPECT_EQ(text(), u"AD\r\nEF");
  runs = {{0, 2, kColorPlain, false}, {2, 4, kColorKeyword, true}};
  EXPECT_EQ(surface().formats(), runs);
}

TEST_F(ClipboardCommandsTest, CopyLeavesTextAndAnEmptySelectionLeavesTheClipboard) {
  load(u"abc");
  selectRange(1, 0);
  clipboard().setContent(Text(u"keep"));
  Copy(control);
  EXPECT_EQ(clipboard().content(), Text(u"keep"));
  selectRange(0, 2);
  Copy(control);
  EXPECT_EQ(clipboard().content(), Text(u"ab"));
  EXPECT_EQ(text(), u"abc");
  EXPECT_EQ(sink.events.back(), "1002");
}

// Cut and Copy find the clipboard closed and do nothing; Paste restores the arrow and reports.
TEST_F(ClipboardCommandsTest, ALockedClipboardChangesNothingAndThrowsNothing) {
  load(u"abc");
  clipboard().setContent(Text(u"old"));
  clipboard().setLocked(true);
  sink.events.clear();
  for (auto command : {&TaviColorText::Cut, &TaviColorText::Copy, &TaviColorText::Paste}) {
    selectRange(0, 2);
    surface().setMousePointer(99);
    EXPECT_NO_THROW((control.*command)());
    EXPECT_EQ(text(), u"abc");
    EXPECT_EQ(surface().mousePointer(), kPointerDefault);
  }
  EXPECT_EQ(clipboard().content(), Text(u"old"));
  EXPECT_EQ(sink.events, (std::vector<std::string>{"1001", "1002", "1008"}));
}

TEST_F(ClipboardCommandsTest, PasteIsCutDownToTheMaximumLength) {
  load(u"abcdef");
  control.m_MaxLen = 10;
  surface().setSelStart(6);
  clipboard().setContent(Text(u"0123456789"));
  Paste(control);
  EXPECT_EQ(text(), u"abcdef0123");
  EXPECT_EQ(surface().selStart(), 10);

  // Already longer than the maximum: the cut-down fails and Paste ends silently.
  control.m_MaxLen = 8;
  control.m_bChange = false;
  sink.events.clear();
  Paste(control);
  EXPECT_EQ(text(), u"abcdef0123");
  EXPECT_TRUE(sink.events.empty());
  EXPECT_EQ(surface().mousePointer(), kPointerHourglass) << "left as at the failing step";
  EXPECT_FALSE(control.m_bTrackChanges);
  EXPECT_FALSE(control.m_bChange);
}

TEST_F(ClipboardCommandsTest, PasteReplacesTheSelectionAndPutsTheCaretBehindTheInsertion) {
  load(u"abcdef");
  selectRange(1, 3);
  control.module().m_bCaretMoved = true;
  clipboard().setContent(Text(u"XY"));
  const int32_t snapshots = control.m_colUndo.count();
  Paste(control);
  EXPECT_EQ(text(), u"aXYef");
  EXPECT_EQ(surface().selStart(), 3);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_FALSE(control.module().m_bCaretMoved);
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1) << "one journalled change";
  clipboard().setContent(std::nullopt);  // no text on the clipboard: the selection just goes
  selectRange(0, 2);
  Paste(control);
  EXPECT_EQ(text(), u"Yef");
}

TEST_F(ClipboardCommandsTest, DeleteIsJournalledAndSelectAllOnAnEmptyTextStillReports) {
  load(u"abcdef");
  selectRange(2, 1);
  const int32_t snapshots = control.m_colUndo.count();
  sink.events.clear();
  Delete(control);
  EXPECT_EQ(text(), u"abdef");
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"change", "1004"}));

  reload(u"");
  surface().setHideSelection(true);
  sink.events.clear();
  SelectAll(control);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_FALSE(surface().hideSelection());
  EXPECT_EQ(sink.events, std::vector<std::string>{"1005"});
}

}  // namespace
}  // namespace tavi
