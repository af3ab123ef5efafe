#include "editing/clipboard_commands.h"

#include <tuple>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using testing::Events;
using ClipboardCommandsTest = testing::EditingFixture;

// The command, its event, whether it sets the change flag and shows the hourglass, the text
// after it on "abc def" with "def" selected and "xy" on the clipboard.
TEST_F(ClipboardCommandsTest, EachCommandReportsSetsItsFlagsAndJournalsOneStep) {
  const std::tuple<Variant (TaviColorText::*)(), const char*, bool, bool, Text> rows[] = {
      {&TaviColorText::Cut, "1001", true, true, u"abc "},
      {&TaviColorText::Copy, "1002", false, true, u"abc def"},
      {&TaviColorText::Paste, "1003", true, true, u"abc xy"},
      {&TaviColorText::Delete, "1004", true, true, u"abc "},
      {&TaviColorText::SelectAll, "1005", false, false, u"abc def"},
  };
  for (const auto& [command, event, setsChange, showsHourglass, textAfter] : rows) {
    SCOPED_TRACE(event);
    given(u"abc def", 4, 3);
    platform.clipboard().setContent(Text(u"xy"));
    surface().setMousePointer(99);
    const int32_t snapshots = control.m_colUndo.count();
    EXPECT_TRUE((control.*command)().isEmpty());
    EXPECT_EQ(text(), textAfter);
    EXPECT_EQ(sink.events.back(), event);
    EXPECT_EQ(control.m_bChange, setsChange);
    EXPECT_EQ(surface().mousePointer(), showsHourglass ? kPointerDefault : 99);
    EXPECT_TRUE(control.m_bTrackChanges);
    EXPECT_EQ(control.m_colUndo.count(), snapshots + (setsChange ? 1 : 0)) << "one step";
  }
  given(u"", 0);  // Select All on an empty text still reports
  surface().setHideSelection(true);
  SelectAll(control);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_FALSE(surface().hideSelection());
  EXPECT_EQ(sink.events, Events{"1005"});
}

// Cut makes the caret's line plain from the line break before it (asked from its LF, the
// selection takes the whole break); the next line break keeps its style. On the first line
// the plain stretch starts at 0.
TEST_F(ClipboardCommandsTest, CutResetsTheCaretLineToPlain) {
  for (const auto& [before, start, after] :
       {std::tuple{u"AB\r\nCDEF\r\nGH", 5, u"[AB]\r\nCF[\r\nGH]"},
        {u"ABCD\r\nEF", 1, u"AD[\r\nEF]"}}) {
    given(before, 0);
    surface().setSelLength(surface().textLength());
    surface().setSelColor(kColorKeyword);
    surface().setSelBold(true);
    surface().setSelStart(start);
    surface().setSelLength(2);
    Cut(control);
    EXPECT_EQ(marked(), after);
    EXPECT_EQ(surface().selStart(), start);
    EXPECT_EQ(surface().selLength(), 0);
  }
}

// Cut and Copy find the clipboard closed and do nothing; Paste restores the arrow and reports.
TEST_F(ClipboardCommandsTest, ALockedClipboardChangesNothingAndThrowsNothing) {
  given(u"abc", 0);
  platform.clipboard().setContent(Text(u"old"));
  platform.clipboard().setLocked(true);
  for (auto command : {&TaviColorText::Cut, &TaviColorText::Copy, &TaviColorText::Paste}) {
    surface().setSelLength(2);
    surface().setMousePointer(99);
    EXPECT_NO_THROW((control.*command)());
    EXPECT_EQ(text(), u"abc");
    EXPECT_EQ(surface().mousePointer(), kPointerDefault);
  }
  EXPECT_EQ(platform.clipboard().content(), Text(u"old"));
  EXPECT_EQ(sink.events, (Events{"1001", "1002", "1008"}));
}

// A host that forbids scripts to read the clipboard: Paste through the dispatch interface
// changes nothing and reports the clipboard as closed; the person's Ctrl+V and the context
// menu's Paste still paste.
TEST_F(ClipboardCommandsTest, AHostMayForbidAScriptsPasteButNotThePersons) {
  widgets.site().setAllowsScriptedPaste(false);
  given(u"abc", 3);
  platform.clipboard().setContent(Text(u"xy"));
  EXPECT_TRUE(invoke("Paste", MemberKind::Method).ok());
  EXPECT_EQ(text(), u"abc");
  EXPECT_FALSE(control.m_bChange);
  EXPECT_EQ(sink.events, Events{"1008"});

  press(vk::kV, kCtrlMask);
  EXPECT_EQ(text(), u"abcxy");
  control.menuClicked(4);
  EXPECT_EQ(text(), u"abcxyxy");

  widgets.site().setAllowsScriptedPaste(true);
  given(u"abc", 3);
  EXPECT_TRUE(invoke("Paste", MemberKind::Method).ok());
  EXPECT_EQ(text(), u"abcxy");
  EXPECT_EQ(sink.events, (Events{"change", "1003"}));
}

TEST_F(ClipboardCommandsTest, PasteReplacesTheSelectionUpToTheMaximumLength) {
  control.m_MaxLen = 10;
  given(u"abcdef", 1, 3);
  module().m_bCaretMoved = true;
  platform.clipboard().setContent(Text(u"0123456789"));
  Paste(control);
  EXPECT_EQ(text(), u"a0123ef") << "cut down by the length of the whole text";
  EXPECT_EQ(surface().selStart(), 5);
  EXPECT_FALSE(module().m_bCaretMoved);

  platform.clipboard().setContent(std::nullopt);  // no text: the selection just goes
  surface().setSelStart(0);
  surface().setSelLength(2);
  Paste(control);
  EXPECT_EQ(text(), u"123ef");

  // Already longer than the maximum: the cut-down fails and Paste ends silently.
  control.m_MaxLen = 4;
  platform.clipboard().setContent(Text(u"x"));
  control.m_bChange = false;
  sink.events.clear();
  Paste(control);
  EXPECT_EQ(text(), u"123ef");
  EXPECT_TRUE(sink.events.empty());
  EXPECT_EQ(surface().mousePointer(), kPointerHourglass) << "left as at the failing step";
  EXPECT_FALSE(control.m_bTrackChanges || control.m_bChange);
}

}  // namespace
}  // namespace tavi
