#include "search/find.h"
#include "search/replace.h"

#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr char16_t kFinished[] = u"Search finished";
constexpr char16_t kNotFound[] = u"Not found";
constexpr int32_t kMessage = -1;  // a call that ends with the message instead of a match

class FindTest : public testing::ControlFixture, public ::testing::WithParamInterface<bool> {
 protected:
  FindTest() {
    control.m_strFinishSearch = kFinished;
    control.m_strNotFoundText = kNotFound;
  }
  int32_t& position() { return control.module().m_lLastCaret; }
  // One search through FindSE or (with the parameter) FindSE_New; returns the message the
  // person or the host got, "" after a match.
  Text find(TextView what, bool matchCase, bool up) {
    if (GetParam()) return control.FindSE_New(what, matchCase, up);
    EXPECT_TRUE(control.FindSE(what, matchCase, up).isEmpty());
    const std::vector<RecordedMessageBox> boxes = platform.messageBoxes().drain();
    return boxes.empty() ? Text() : boxes.at(0).text;
  }
};

// One call: the text to load (nullptr: go on from the previous call), the search text,
// upward, match case, the start of the selected match (or kMessage), the search position
// after, the message. A row with a text to load starts a run at search position 0 (the load
// clears bFind, so a miss before the run's first match is "not found"). The plain downward
// and upward runs are in the find_replace scenario.
using Call = std::tuple<const char16_t*, Text, bool, bool, int32_t, int32_t, Text>;
const Call kCalls[] = {
    // The next upward match must end before the last one's position: no overlap.
    {u"abab", u"ab", true, true, 2, 1, u""},
    {nullptr, u"ab", true, true, kMessage, 1, kFinished},
    {u"x ABC", u"abc", false, true, kMessage, 0, kNotFound},
    {nullptr, u"abc", true, true, kMessage, 5, kNotFound},
    {nullptr, u"abc", true, false, 2, -2, u""},
    {nullptr, u"abc", false, false, 2, 5, u""},
    {u"", u"a", true, false, kMessage, 0, kNotFound},
    // -1 is left by an upward match at the top; the surface searches from the start.
    {u"ab-x", u"ab", true, true, 0, -1, u""},
    {nullptr, u"ab", false, true, 0, 2, u""},
    {nullptr, u"ab", true, true, 0, -1, u""},
    // An empty search text finds nothing in either direction and keeps the position.
    {u"abc", u"b", false, false, 1, 2, u""},
    {nullptr, u"", false, false, kMessage, 2, kFinished},
    {nullptr, u"", true, false, kMessage, 2, kFinished},
};

TEST_P(FindTest, Calls) {
  for (const Call& call : kCalls) {
    SCOPED_TRACE("row " + std::to_string(&call - kCalls));
    const auto& [loaded, what, up, matchCase, start, positionAfter, message] = call;
    if (loaded) {
      load(loaded);
      position() = 0;
    }
    const int32_t selStart = widgets.surface().selStart();
    EXPECT_EQ(find(what, matchCase, up), message);
    EXPECT_EQ(position(), positionAfter);
    EXPECT_EQ(control.m_FindText, what);
    if (start == kMessage) {
      EXPECT_EQ(widgets.surface().selStart(), selStart) << "selection left alone";
    } else {
      EXPECT_EQ(widgets.surface().selStart(), start);
      EXPECT_EQ(widgets.surface().selLength(), static_cast<int32_t>(what.size()));
      EXPECT_FALSE(widgets.surface().hideSelection());
      EXPECT_TRUE(control.bFind);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FindSEAndFindSE_New, FindTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "FindSE_New" : "FindSE"; });

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
