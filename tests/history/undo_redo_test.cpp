#include "history/undo_redo.h"

#include <random>

#include "support/control_fixture.h"

namespace tavi {
namespace {

class UndoRedoTest : public testing::ControlFixture {
 protected:
  // A user edit: the selection [start, start + length) replaced with tracking on, recorded.
  void edit(int32_t start, int32_t length, TextView with) {
    widgets.surface().setSelStart(start);
    widgets.surface().setSelLength(length);
    widgets.surface().replaceSelection(with);
  }
  // A change the journal does not see, as ReplaceAll makes one.
  void unrecordedEdit(int32_t start, int32_t length, TextView with) {
    control.m_bTrackChanges = false;
    edit(start, length, with);
    control.m_bTrackChanges = true;
  }
  int32_t caret() { return widgets.surface().selStart(); }
  Text newestUndo() const { return control.m_colUndo.last().Text.str(); }
};

TEST_F(UndoRedoTest, UndoAndRedoAnAppendedCharacter) {
  load(u"ABC");
  edit(3, 0, u"X");
  control.m_bChange = false;
  sink.events.clear();
  widgets.focus(FocusPlace::kAway);

  EXPECT_TRUE(Undo(control).isEmpty());
  EXPECT_EQ(text(), u"ABC");
  EXPECT_EQ(caret(), 3);
  EXPECT_EQ(control.m_colUndo.count(), 2);
  ASSERT_EQ(control.m_colRedo.count(), 1);
  EXPECT_EQ(control.m_colRedo.last().Text.str(), u"ABCX");
  EXPECT_EQ(sink.events, std::vector<std::string>{"1000"}) << "no onChange for its own edits";
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_TRUE(control.m_bChange);
  EXPECT_FALSE(widgets.surface().hideSelection());
  EXPECT_EQ(widgets.surface().mousePointer(), kPointerDefault);
  EXPECT_FALSE(widgets.surface().hasFocus());

  sink.events.clear();
  EXPECT_TRUE(Redo(control).isEmpty());
  EXPECT_EQ(text(), u"ABCX");
  EXPECT_EQ(caret(), 4);
  EXPECT_EQ(control.m_colUndo.count(), 3);
  EXPECT_EQ(control.m_colRedo.count(), 0);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(widgets.surface().hasFocus());
}

TEST_F(UndoRedoTest, UndoAndRedoATypedOverSelectionAndStepTwice) {
  load(u"ABCDEF");
  edit(2, 2, u"x");
  ASSERT_EQ(text(), u"ABxEF");
  Undo(control);
  EXPECT_EQ(text(), u"ABCDEF");
  EXPECT_EQ(caret(), 4) << "behind the reinserted 'CD'";
  Redo(control);
  EXPECT_EQ(text(), u"ABxEF");
  EXPECT_EQ(caret(), 3);

  edit(5, 0, u"\r\nEND IF");
  Undo(control);
  Undo(control);
  EXPECT_EQ(text(), u"ABCDEF");
  Redo(control);
  Redo(control);
  EXPECT_EQ(text(), u"ABxEF\r\nEND IF");
  EXPECT_EQ(control.m_colUndo.count(), 4);
}

TEST_F(UndoRedoTest, WithoutAnEditUndoOnlyRepaintsFlagsAndReports) {
  load(u"one\r\ntwo");  // start-up and the load: nothing to undo
  const int32_t firstLineColor = widgets.gutter().lastPaint()->texts.at(0).color;
  widgets.surface().setSelStart(6);  // onto line 2, no repaint yet
  control.m_bChange = false;
  Undo(control);
  EXPECT_EQ(text(), u"one\r\ntwo");
  EXPECT_EQ(control.m_colUndo.count(), 2);
  EXPECT_EQ(control.m_colRedo.count(), 0);
  EXPECT_EQ(widgets.gutter().lastPaint()->texts.at(1).color, firstLineColor) << "repainted";
  EXPECT_TRUE(control.m_bChange);
  EXPECT_EQ(sink.events.back(), "1000");

  // The caret rule without an edit: a selection at offset 0 stays, any other collapses.
  widgets.surface().setSelLength(2);
  Undo(control);
  EXPECT_EQ(widgets.surface().selLength(), 0);
  widgets.surface().setSelStart(0);
  widgets.surface().setSelLength(2);
  Undo(control);
  EXPECT_EQ(widgets.surface().selLength(), 2);
}

TEST_F(UndoRedoTest, NothingToRedoOrTrackingOffChangesNoText) {
  load(u"ABC");
  edit(0, 1, u"");
  sink.events.clear();
  widgets.focus(FocusPlace::kAway);
  Redo(control);
  EXPECT_EQ(text(), u"BC");
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(widgets.surface().hasFocus());

  control.m_bTrackChanges = false;  // inside another handler: neither command acts
  Undo(control);
  EXPECT_EQ(text(), u"BC");
  EXPECT_TRUE(control.m_bTrackChanges);
  Undo(control);
  control.m_bTrackChanges = false;
  Redo(control);
  EXPECT_EQ(text(), u"ABC");
  EXPECT_EQ(control.m_colRedo.count(), 1);
  EXPECT_TRUE(control.m_bTrackChanges);
}

TEST_F(UndoRedoTest, EditsInsideARunOfOneCharacter) {
  load(u"   x");
  edit(1, 1, u"");  // "  x": the comparison reports a negative count here
  Undo(control);
  EXPECT_EQ(text(), u"   x");
  EXPECT_EQ(caret(), 3);
  Redo(control);
  EXPECT_EQ(text(), u"  x");

  edit(0, 0, u" ");  // "   x" again, by insertion
  Undo(control);
  EXPECT_EQ(text(), u"  x");
  Redo(control);
  EXPECT_EQ(text(), u"   x");
}

TEST_F(UndoRedoTest, AnUnrecordedChangeIsUndoneAndRedoneFirst) {
  load(u"ABC");
  unrecordedEdit(1, 1, u"ZZ");  // only 2 snapshots, but the change is still undoable
  Undo(control);
  EXPECT_EQ(text(), u"ABC");
  EXPECT_EQ(control.m_colUndo.count(), 2);
  Redo(control);
  EXPECT_EQ(text(), u"AZZC");

  edit(4, 0, u"!");
  Undo(control);  // redo journal: "AZZC!"
  unrecordedEdit(0, 1, u"");
  Undo(control);  // a new state appeared: the old redo snapshot goes, as after a user edit
  EXPECT_EQ(text(), u"AZZC");
  ASSERT_EQ(control.m_colRedo.count(), 1);
  EXPECT_EQ(control.m_colRedo.last().Text.str(), u"ZZC");
  Undo(control);
  EXPECT_EQ(text(), u"ABC");
  Redo(control);
  Redo(control);
  EXPECT_EQ(text(), u"ZZC");

  // Redo does not overwrite an unrecorded change: the change is recorded and stays undoable.
  Undo(control);
  unrecordedEdit(0, 0, u"Q");
  Redo(control);
  EXPECT_EQ(text(), u"QAZZC");
  EXPECT_EQ(control.m_colRedo.count(), 0);
  Undo(control);
  EXPECT_EQ(text(), u"AZZC");
}

TEST_F(UndoRedoTest, ReinsertedTextIsNotCutByALoweredMaximumLength) {
  load(u"ABCDEFGHIJ");
  control.m_MaxLen = 5;
  edit(2, 6, u"");
  Undo(control);
  EXPECT_EQ(text(), u"ABCDEFGHIJ");
  EXPECT_EQ(widgets.surface().maxLength(), 5);
}

// Random recorded and unrecorded edits with random Undo and Redo between them: after every
// command the surface holds the snapshot it stepped to, and nothing stepped over is lost.
TEST_F(UndoRedoTest, RandomHistoriesStepExactlyBetweenSnapshots) {
  std::mt19937 rng(20240611);
  auto pick = [&rng](int n) { return static_cast<int32_t>(rng() % static_cast<unsigned>(n)); };
  const std::vector<Text> pieces = {u"a", u"a", u"b", u" ", u" ", u"\r\n"};
  auto randomText = [&] {
    Text t;
    for (int n = pick(4); n > 0; --n) t += pieces[pick(static_cast<int>(pieces.size()))];
    return t;
  };
  load(u"aa  b\r\n\r\n  a");
  for (int round = 0; round < 60; ++round) {
    for (int n = 1 + pick(6); n > 0; --n) {
      const int32_t start = pick(static_cast<int>(text().size()) + 1);
      const int32_t length = pick(std::min<int>(4, static_cast<int>(text().size()) - start) + 1);
      if (pick(8) == 0)
        unrecordedEdit(start, length, randomText());
      else
        edit(start, length, randomText());
    }
    for (int n = pick(12); n > 0; --n) {
      const Text before = text();
      const bool recorded = newestUndo() == before;
      const int32_t undoCount = control.m_colUndo.count();
      const int32_t redoCount = control.m_colRedo.count();
      if (pick(2) == 0) {
        Undo(control);
        if (undoCount + (recorded ? 0 : 1) < 3) {
          EXPECT_EQ(text(), before);
          continue;
        }
        ASSERT_EQ(control.m_colRedo.last().Text.str(), before);
        if (recorded) {
          EXPECT_EQ(control.m_colUndo.count(), undoCount - 1);
          EXPECT_EQ(control.m_colRedo.count(), redoCount + 1);
        }
      } else {
        // After an unrecorded change there is nothing to redo: the change is recorded instead.
        const bool steps = recorded && redoCount > 0;
        const Text target = steps ? control.m_colRedo.last().Text.str() : before;
        Redo(control);
        ASSERT_EQ(text(), target);
        if (redoCount == 0) continue;
        EXPECT_EQ(control.m_colUndo.count(), undoCount + 1);
        EXPECT_EQ(control.m_colRedo.count(), steps ? redoCount - 1 : 0);
      }
      ASSERT_EQ(text(), newestUndo()) << "round " << round;
    }
  }
  while (control.m_colRedo.count() > 0) Redo(control);
  const Text latest = text();
  while (control.m_colUndo.count() > 2) Undo(control);
  while (control.m_colRedo.count() > 0) Redo(control);
  EXPECT_EQ(text(), latest);
}

}  // namespace
}  // namespace tavi
