// The editor's mouse notifications: the context menu, the caret bookkeeping and onEvent 1006.
#include <tuple>
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using testing::Events;
using MouseTest = testing::EditingFixture;

TEST_F(MouseTest, TheFirstPressOfAnyButtonFillsTheMenuOnceEvenOnALockedControl) {
  control.m_strPopUpMenu = u"Undo,,Copy";  // fewer than six captions: the entries there are
  control.m_bLock = true;
  widgets.mouseDown(4, 0, 0, 0);
  widgets.mouseUp(4, 0, 0, 0);
  EXPECT_EQ(widgets.menu().items(), (std::vector<Text>{u"Undo", u"", u"Copy"}));
  EXPECT_EQ(sink.events, Events{"1006"}) << "every release, whatever the button";
  EXPECT_TRUE(control.m_bTrackChanges);
  control.m_strPopUpMenu = u"A,B,C,D,E,F";
  widgets.rightClick(0, 0);
  EXPECT_EQ(widgets.menu().items().size(), 3u) << "filled once only";
}

// List shown, text changed and the button pressed; the text-changed and caret-moved flags after.
TEST_F(MouseTest, ALeftPressForgetsTheTextChangeUnlessTheListShows) {
  const std::tuple<bool, bool, int16_t, bool, bool> rows[] = {
      {false, true, kLeftButton, false, false},
      {false, false, kLeftButton, false, true},
      {true, true, kLeftButton, true, true},
      {false, true, kRightButton, true, true}};
  for (const auto& [listShown, textChanged, button, textChangedAfter, caretMovedAfter] : rows) {
    given(u"IF", 2);
    if (listShown) press(vk::kF1);
    module().m_bTextChanged = textChanged;
    module().m_bCaretMoved = true;
    widgets.mouseDown(button, 0, 0, 0);
    EXPECT_EQ(module().m_bTextChanged, textChangedAfter) << listShown << textChanged;
    EXPECT_EQ(module().m_bCaretMoved, caretMovedAfter) << listShown << textChanged;
    EXPECT_EQ(list().visible(), listShown) << "the mouse never hides the list";
    widgets.mouseUp(button, 0, 0, 0);
  }
}

TEST_F(MouseTest, OnlyALeftReleaseRecordsTheCaretButAnyReleaseTheSearchPosition) {
  given(u"AB\r\nCD", 0);
  widgets.click(8, 16);
  EXPECT_TRUE(module().m_bCaretMoved);
  EXPECT_EQ(module().m_lLastCaret, 5);
  surface().setSelStart(1);
  module().m_bCaretMoved = false;
  widgets.rightClick(8, 16);
  EXPECT_FALSE(module().m_bCaretMoved);
  EXPECT_EQ(module().m_lDownCaret, 5);
  EXPECT_EQ(module().m_lLastCaret, 1);
}

}  // namespace
}  // namespace tavi
