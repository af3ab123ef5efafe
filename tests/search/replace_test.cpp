#include "search/replace.h"

#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

// Undo and Redo over a replace-all are checked by the history tests and scenarios.
class ReplaceTest : public testing::ControlFixture {
 protected:
  int32_t& position() { return control.module().m_lLastCaret; }
  HeadlessEditSurface& surface() { return widgets.surface(); }
  void reload(TextView t) {
    load(t);
    position() = 0;
  }
};

TEST_F(ReplaceTest, ReplaceSEReplacesWhateverIsSelectedOnlyAfterAFind) {
  reload(u"one abc two abc");
  surface().setSelLength(3);
  control.m_bTrackChanges = false;
  control.ReplaceSE(u"abc", u"x");
  EXPECT_EQ(text(), u"one abc two abc") << "no find has succeeded since the load";
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_FALSE(control.m_bChange);

  control.FindSE(u"abc", false, false);
  ASSERT_EQ(position(), 7);
  surface().setSelStart(0);  // the host moves the selection; the position stays
  surface().setSelLength(3);
  surface().setHideSelection(true);
  const int32_t snapshots = control.m_colUndo.count();
  control.ReplaceSE(u"abc", u"XY");
  EXPECT_EQ(text(), u"XY abc two abc") << "the selection is not compared with the search text";
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1) << "recorded as a user edit";
  EXPECT_EQ(surface().selStart(), 0);
  EXPECT_EQ(surface().selLength(), 2);
  EXPECT_FALSE(surface().hideSelection());
  EXPECT_TRUE(control.m_bChange);
  EXPECT_TRUE(control.m_bTrackChanges);
}

// The replacement, the search position after it and the start of the next match.
TEST_F(ReplaceTest, TheSearchPositionMovesBackOnlyForAShorterReplacement) {
  const std::tuple<Text, int32_t, int32_t> rows[] = {
      {u"X", 8, 8}, {u"abc", 10, 10}, {u"12345", 10, 12}};
  for (const auto& [replacement, after, nextMatch] : rows) {
    SCOPED_TRACE(toUtf8(replacement));
    reload(u"0123456abcabc");
    control.FindSE(u"abc", true, false);
    ASSERT_EQ(position(), 10);
    control.ReplaceSE(u"abc", replacement);
    EXPECT_EQ(position(), after);
    EXPECT_EQ(control.FindSE_New(u"abc", true, false), u"");
    EXPECT_EQ(surface().selStart(), nextMatch);
  }
}

// Text, search text, replacement, match case, result, and the search position after (the
// caret's too, unless nothing matched). One pass from the start, never searching inside a
// replacement; nothing recorded or reported; the search text of the find commands untouched.
TEST_F(ReplaceTest, ReplaceAllReplacesInOnePassWithoutRecording) {
  const std::tuple<Text, Text, Text, bool, Text, int32_t> rows[] = {
      {u"aaa", u"a", u"aa", true, u"aaaaaa", 6},
      {u"xAxBx", u"x", u"", true, u"AB", 2},
      {u"Abc-ABC-abc", u"abc", u"d", false, u"d-d-d", 5},
      {u"Abc-ABC-abc", u"abc", u"d", true, u"Abc-ABC-d", 9},
      {u"hello", u"z", u"y", false, u"hello", 0},
      {u"hello", u"", u"y", false, u"hello", 0},  // an empty search text matches nothing
  };
  for (const auto& [before, what, with, matchCase, result, after] : rows) {
    SCOPED_TRACE(toUtf8(before) + " " + toUtf8(what));
    reload(before);
    surface().setSelStart(2);
    position() = 3;
    control.m_FindText = u"kept";
    control.m_bChange = false;
    surface().setMousePointer(99);
    const int32_t snapshots = control.m_colUndo.count();
    sink.events.clear();
    control.ReplaceAll(what, with, matchCase);
    EXPECT_EQ(text(), result);
    EXPECT_EQ(position(), after);
    EXPECT_EQ(surface().selStart(), text() == before ? 2 : after);
    EXPECT_EQ(control.m_colUndo.count(), snapshots);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(control.m_bTrackChanges);
    EXPECT_TRUE(control.m_bChange);
    EXPECT_EQ(surface().mousePointer(), kPointerDefault);
    EXPECT_EQ(control.m_FindText, u"kept");
  }
}

// At the maximum length the editor inserts only what fits: the search goes on right behind
// what it inserted, so no occurrence is skipped and none is searched inside an insertion.
TEST_F(ReplaceTest, ReplaceAllGoesOnBehindWhatTheEditorInserted) {
  reload(u"bbb");
  control.m_MaxLen = 4;  // the change handling gives it to the editor after every change
  surface().setMaxLength(4);
  control.ReplaceAll(u"b", u"yyy", true);
  EXPECT_EQ(text(), u"yyyy");
  EXPECT_EQ(position(), 4);
}

}  // namespace
}  // namespace tavi
