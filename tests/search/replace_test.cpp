#include "search/replace.h"

#include "support/control_fixture.h"

namespace tavi {
namespace {

class ReplaceTest : public testing::ControlFixture {
 protected:
  ReplaceTest() { position() = 0; }
  int32_t& position() { return control.module().m_lLastCaret; }
  HeadlessEditSurface& surface() { return widgets.surface(); }
  void reload(TextView t) {
    surface().setSelStart(0);
    surface().setSelLength(surface().textLength());
    load(t);
  }
  Text newestSnapshot() const { return control.m_colUndo.last().Text.str(); }
};

TEST_F(ReplaceTest, ReplaceBeforeAnyFindDoesNothing) {
  load(u"abc");
  surface().setSelLength(3);
  const int32_t snapshots = control.m_colUndo.count();
  control.m_bChange = false;
  control.m_bTrackChanges = false;
  EXPECT_TRUE(control.ReplaceSE(u"abc", u"x").isEmpty());
  EXPECT_EQ(text(), u"abc");
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_FALSE(control.m_bChange);
  EXPECT_EQ(control.m_colUndo.count(), snapshots);
}

TEST_F(ReplaceTest, ReplaceAfterAFindReplacesWhateverIsSelectedAsOneJournalledEdit) {
  load(u"one abc two abc");
  control.FindSE(u"abc", false, false);
  ASSERT_EQ(position(), 7);
  surface().setSelStart(0);  // the host moves the selection; the position stays
  surface().setSelLength(3);
  surface().setHideSelection(true);
  const int32_t snapshots = control.m_colUndo.count();
  control.m_bChange = false;
  control.ReplaceSE(u"abc", u"XY");
  EXPECT_EQ(text(), u"XY abc two abc") << "the selection is not compared with the search text";
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1);
  EXPECT_EQ(newestSnapshot(), text());
  EXPECT_EQ(surface().selStart(), 0);
  EXPECT_EQ(surface().selLength(), 2);
  EXPECT_FALSE(surface().hideSelection());
  EXPECT_TRUE(control.m_bChange);
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_EQ(position(), 6);
  control.Undo();
  EXPECT_EQ(text(), u"one abc two abc");
}

TEST_F(ReplaceTest, TheSearchPositionMovesBackOnlyForAShorterReplacement) {
  const struct {
    const char16_t* replacement;
    int32_t position;
    int32_t nextMatch;
  } rows[] = {{u"X", 8, 8}, {u"abc", 10, 10}, {u"12345", 10, 12}};
  for (const auto& row : rows) {
    SCOPED_TRACE(toUtf8(row.replacement));
    reload(u"0123456abcabc");
    position() = 0;
    control.FindSE(u"abc", true, false);
    ASSERT_EQ(position(), 10);
    control.ReplaceSE(u"abc", row.replacement);
    EXPECT_EQ(position(), row.position);
    EXPECT_EQ(control.FindSE_New(u"abc", true, false), u"");
    EXPECT_EQ(surface().selStart(), row.nextMatch);
  }
}

TEST_F(ReplaceTest, ReplaceAllReplacesInOnePassWithoutRecording) {
  const struct {
    const char16_t* text;
    const char16_t* what;
    const char16_t* with;
    bool matchCase;
    const char16_t* result;
    int32_t position;  // and the caret, unless nothing matched
  } rows[] = {
      {u"aaa", u"a", u"aa", true, u"aaaaaa", 6},
      {u"xAxBx", u"x", u"", true, u"AB", 2},
      {u"Abc-ABC-abc", u"abc", u"d", false, u"d-d-d", 5},
      {u"Abc-ABC-abc", u"abc", u"d", true, u"Abc-ABC-d", 9},
      {u"hello", u"z", u"y", false, u"hello", 0},
      // An empty search text matches nothing: the loop could not end otherwise.
      {u"hello", u"", u"y", false, u"hello", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(toUtf8(row.text) + " " + toUtf8(row.what));
    reload(row.text);
    surface().setSelStart(2);
    position() = 3;
    control.bFind = false;
    control.m_FindText = u"kept";
    control.m_bChange = false;
    control.m_bTrackChanges = false;
    surface().setMousePointer(99);
    const int32_t snapshots = control.m_colUndo.count();
    sink.events.clear();
    EXPECT_TRUE(control.ReplaceAll(row.what, row.with, row.matchCase).isEmpty());
    EXPECT_EQ(text(), row.result);
    EXPECT_EQ(position(), row.position);
    EXPECT_EQ(surface().selStart(), text() == row.text ? 2 : row.position);
    EXPECT_EQ(control.m_colUndo.count(), snapshots) << "no snapshot";
    EXPECT_TRUE(sink.events.empty()) << "no onChange, no onEvent";
    EXPECT_TRUE(control.m_bTrackChanges);
    EXPECT_TRUE(control.m_bChange);
    EXPECT_EQ(surface().mousePointer(), kPointerDefault);
    EXPECT_FALSE(control.bFind);
    EXPECT_EQ(control.m_FindText, u"kept");
  }
}

TEST_F(ReplaceTest, UndoAndRedoStepOverAReplaceAllWithoutLosingText) {
  load(u"xAxBx");
  surface().setSelStart(5);
  surface().replaceSelection(u"!");  // a user edit before
  control.ReplaceAll(u"x", u"", true);
  ASSERT_EQ(text(), u"AB!");
  control.Undo();
  EXPECT_EQ(text(), u"xAxBx!");
  control.Undo();
  EXPECT_EQ(text(), u"xAxBx");
  control.Redo();
  EXPECT_EQ(text(), u"xAxBx!");
  control.Redo();
  EXPECT_EQ(text(), u"AB!");
}

TEST_F(ReplaceTest, AReplaceAllAfterAnUndoIsNotOverwrittenByRedo) {
  load(u"abc");
  surface().setSelStart(3);
  surface().replaceSelection(u"d");
  control.Undo();
  ASSERT_EQ(text(), u"abc");
  control.ReplaceAll(u"b", u"B", true);
  control.Redo();
  EXPECT_EQ(text(), u"aBc");
  control.Undo();
  EXPECT_EQ(text(), u"abc");
}

}  // namespace
}  // namespace tavi
