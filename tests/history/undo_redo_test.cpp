#include "history/undo_redo.h"

#include <random>
#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

class UndoRedoTest : public testing::ControlFixture {
 protected:
  // An edit of the surface: the selection [start, start + length) replaced, recorded unless
  // tracking is off for it (as for ReplaceAll).
  void edit(int32_t start, int32_t length, TextView with, bool recorded = true) {
    control.m_bTrackChanges = recorded;
    widgets.surface().setSelStart(start);
    widgets.surface().setSelLength(length);
    widgets.surface().replaceSelection(with);
    control.m_bTrackChanges = true;
  }
  static std::vector<Text> texts(const Journal& journal) {
    std::vector<Text> out;
    for (const UndoElement& element : journal) out.push_back(element.Text.str());
    return out;
  }
  HeadlessEditSurface& surface() { return widgets.surface(); }
};

// Loaded text, the edit (start, length, replacement), the maximum length set before it, and
// the caret after Undo and after Redo. How the journals move is checked by the random test.
TEST_F(UndoRedoTest, UndoAndRedoOneEditAtTheOffsetsOfTheComparison) {
  const std::tuple<Text, int32_t, int32_t, Text, int32_t, int32_t, int32_t> cases[] = {
      {u"ABC", 3, 0, u"X", 100000, 3, 4},
      {u"ABCDEF", 2, 2, u"x", 100000, 4, 3},  // behind the reinserted "CD"
      {u"   x", 1, 1, u"", 100000, 3, 2},     // the comparison counts negatively here
      {u"ABCDEFGHIJ", 2, 6, u"", 5, 8, 2},    // reinserted text is not cut by a lower maximum
  };
  for (const auto& [loaded, start, length, with, maxLen, undoCaret, redoCaret] : cases) {
    SCOPED_TRACE(toUtf8(loaded));
    load(loaded);
    control.m_MaxLen = maxLen;
    edit(start, length, with);
    const Text edited = text();
    control.m_bChange = false;
    sink.events.clear();
    widgets.focus(FocusPlace::kAway);

    EXPECT_TRUE(Undo(control).isEmpty());
    EXPECT_EQ(std::pair(text(), surface().selStart()), std::pair(loaded, undoCaret));
    EXPECT_EQ(texts(control.m_colRedo), std::vector<Text>{edited});
    EXPECT_EQ(sink.events, std::vector<std::string>{"1000"}) << "no onChange for its own edits";
    EXPECT_TRUE(control.m_bTrackChanges && control.m_bChange);
    EXPECT_FALSE(surface().hideSelection() || surface().hasFocus());
    EXPECT_EQ(surface().mousePointer(), kPointerDefault);
    EXPECT_EQ(surface().maxLength(), maxLen);

    EXPECT_TRUE(Redo(control).isEmpty());
    EXPECT_EQ(std::pair(text(), surface().selStart()), std::pair(edited, redoCaret));
    EXPECT_EQ(sink.events.size(), 1u) << "Redo raises no event";
    EXPECT_TRUE(surface().hasFocus());
  }
}

TEST_F(UndoRedoTest, WithNothingToStepOverOnlyTheGutterCaretFocusAndFlagsChange) {
  load(u"one\r\ntwo");  // start-up and the load: nothing to undo
  const int32_t firstLineColor = widgets.gutter().lastPaint()->texts.at(0).color;
  surface().setSelStart(6);  // onto line 2, no repaint yet
  surface().setSelLength(2);
  control.m_bChange = false;
  Undo(control);
  EXPECT_EQ(text(), u"one\r\ntwo");
  EXPECT_EQ(widgets.gutter().lastPaint()->texts.at(1).color, firstLineColor) << "repainted";
  EXPECT_EQ(surface().selLength(), 0);  // setting the caret collapsed the selection,
  EXPECT_TRUE(control.m_bChange);
  EXPECT_EQ(sink.events.back(), "1000");
  surface().setSelStart(0);  // which Undo leaves alone at offset 0
  surface().setSelLength(2);
  Undo(control);
  EXPECT_EQ(surface().selLength(), 2);

  sink.events.clear();
  widgets.focus(FocusPlace::kAway);
  control.m_bChange = false;
  Redo(control);
  EXPECT_EQ(text(), u"one\r\ntwo");
  EXPECT_EQ(surface().selLength(), 0);  // but Redo does not
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(surface().hasFocus() && control.m_bChange);
}

// Random recorded and unrecorded edits with Undo and Redo between them, some called while
// tracking is off (when neither acts), against a model of the text and both journals. A
// change made while tracking was off is recorded by the next Undo, or by a Redo that has
// something to restore, as a new state, which empties the redo journal: so Undo takes back
// exactly that change, and Redo never overwrites it. The texts hold line breaks, surrogate
// pairs sharing their high half, and lone halves that edits join into pairs, so that the
// comparison often cuts through a unit: Undo and Redo must still give the snapshot exactly.
TEST_F(UndoRedoTest, RandomHistoriesFollowAModelOfTheJournals) {
  std::mt19937 rng(20240611);
  auto pick = [&rng](size_t n) { return rng() % n; };
  const Text pieces[] = {u"a",    u"a",          u"b",          u" ",      u" ",
                         u"\r\n", u"\U0001F600", u"\U0001F601", u"\xD83D", u"\xDE00"};
  auto randomText = [&] {
    Text t;
    for (size_t n = pick(4); n > 0; --n) t += pieces[pick(std::size(pieces))];
    return t;
  };
  // The surface takes a range that splits a unit whole (an empty one is a caret before it).
  auto splits = [&](const Text& text, size_t p) {
    return p > 0 && p < text.size() && formsOneUnit(text[p - 1], text[p]);
  };
  load(u"aa  b\r\n\r\n  a");
  Text model = text();
  std::vector<Text> undo = texts(control.m_colUndo), redo;
  auto record = [&] {
    redo.clear();
    undo.push_back(model);
  };
  auto step = [&](std::vector<Text>& from, std::vector<Text>& to) {
    to.push_back(from.back());
    from.pop_back();
    model = undo.back();
  };
  for (int round = 0; round < 300; ++round) {
    for (size_t n = 1 + pick(6); n > 0; --n) {
      const size_t start = pick(model.size() + 1);
      const size_t length = pick(std::min<size_t>(4, model.size() - start) + 1);
      const size_t from = splits(model, start) ? start - 1 : start;
      const size_t end = start + length;
      const size_t to = length == 0 ? from : splits(model, end) ? end + 1 : end;
      const Text with = randomText();
      if (model.compare(from, to - from, with) == 0) continue;  // no change to report
      const bool recorded = pick(8) != 0;
      edit(static_cast<int32_t>(start), static_cast<int32_t>(length), with, recorded);
      model.replace(from, to - from, with);
      if (recorded) record();
    }
    for (size_t n = pick(12); n > 0; --n) {
      const bool isUndo = pick(2) == 0, tracking = pick(10) != 0;  // off: inside another handler
      control.m_bTrackChanges = tracking;
      isUndo ? Undo(control) : Redo(control);
      if (tracking && model != undo.back() && (isUndo || !redo.empty())) record();
      if (tracking && isUndo && undo.size() >= 3) step(undo, redo);
      if (tracking && !isUndo && !redo.empty()) step(redo, undo);
      ASSERT_TRUE(control.m_bTrackChanges);
      ASSERT_EQ(text(), model) << "round " << round;
      ASSERT_EQ(texts(control.m_colUndo), undo) << "round " << round;
      ASSERT_EQ(texts(control.m_colRedo), redo) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace tavi
