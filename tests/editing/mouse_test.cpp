// The editor's mouse notifications: the context menu, the caret bookkeeping and onEvent 1006.
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using testing::Events;
using MouseTest = testing::EditingFixture;

TEST_F(MouseTest, EveryReleaseRaisesItsEventWhateverTheButton) {
  given(u"AB", 0);
  for (int16_t button : {kLeftButton, kRightButton, int16_t{4}}) {
    widgets.mouseDown(button, 0, 8, 0);
    widgets.mouseUp(button, 0, 8, 0);
    EXPECT_TRUE(control.m_bTrackChanges);
  }
  EXPECT_EQ(sink.events, (Events{"1006", "1006", "1006"}));
}

TEST_F(MouseTest, TheFirstPressOfAnyButtonFillsTheMenuWithTheFirstSixCaptions) {
  struct Row {
    const char16_t* captions;
    std::vector<Text> items;
  };
  const std::vector<Text> six = {u"Undo", u"Cut", u"Copy", u"Paste", u"Delete", u"Select all"};
  const Row rows[] = {
      {u"", {}},
      {u"Undo,,Copy", {u"Undo", u"", u"Copy"}},  // fewer captions: the entries there are
      {u"Undo,Cut,Copy,Paste,Delete,Select all,Extra", six},
  };
  for (const Row& row : rows) {
    control.m_bMenuBuilt = false;
    control.m_strPopUpMenu = row.captions;
    widgets.mouseDown(4, 0, 0, 0);
    EXPECT_EQ(widgets.menu().items(), row.items);
    EXPECT_TRUE(control.m_bMenuBuilt);
  }
  control.m_strPopUpMenu = u"A,B,C,D,E,F";
  widgets.rightClick(0, 0);
  EXPECT_EQ(widgets.menu().items(), six) << "filled once only";
}

TEST_F(MouseTest, ALockedControlShowsNoMenuButItsFirstPressStillFillsIt) {
  control.m_strPopUpMenu = u"U,X,C,P,D,S";
  control.m_bLock = true;
  widgets.rightClick(0, 0);
  EXPECT_EQ(widgets.menu().shownCount(), 0);
  EXPECT_EQ(widgets.menu().items().size(), 6u);
  control.m_bLock = false;
  widgets.click(0, 0);
  EXPECT_EQ(widgets.menu().shownCount(), 0) << "only the right button";
  widgets.rightClick(0, 0);
  EXPECT_EQ(widgets.menu().shownCount(), 1);
}

TEST_F(MouseTest, ALeftPressForgetsTheTextChangeUnlessTheListShows) {
  struct Row {
    bool listShown, textChanged;
    int16_t button;
    bool expectTextChanged, expectCaretMoved;
  };
  for (const Row row : {Row{false, true, kLeftButton, false, false},
                        {false, false, kLeftButton, false, true},
                        {true, true, kLeftButton, true, true},
                        {false, true, kRightButton, true, true}}) {
    given(u"IF", 2);
    if (row.listShown) press(vk::kF1);
    module().m_bTextChanged = row.textChanged;
    module().m_bCaretMoved = true;
    widgets.mouseDown(row.button, 0, 0, 0);
    EXPECT_EQ(module().m_bTextChanged, row.expectTextChanged) << row.listShown << row.textChanged;
    EXPECT_EQ(module().m_bCaretMoved, row.expectCaretMoved) << row.listShown << row.textChanged;
    EXPECT_EQ(list().visible(), row.listShown) << "the mouse never hides the list";
    widgets.mouseUp(row.button, 0, 0, 0);
  }
}

TEST_F(MouseTest, ALeftReleaseRecordsTheCaretAndAnyReleaseTheSearchPosition) {
  given(u"AB\r\nCD", 0);
  widgets.click(8, 16);
  EXPECT_EQ(surface().selStart(), 5);
  EXPECT_TRUE(module().m_bCaretMoved);
  EXPECT_EQ(module().m_lDownCaret, 5);
  EXPECT_EQ(module().m_lDownLine, 1);
  EXPECT_EQ(module().m_lLastCaret, 5);

  surface().setSelStart(1);
  module().m_bCaretMoved = false;
  widgets.rightClick(8, 16);
  EXPECT_FALSE(module().m_bCaretMoved);
  EXPECT_EQ(module().m_lDownCaret, 5);
  EXPECT_EQ(module().m_lDownLine, 1);
  EXPECT_EQ(module().m_lLastCaret, 1);
}

TEST_F(MouseTest, MenuEntriesRunTheirCommands) {
  given(u"AB", 0);
  for (int16_t entry : {0, 3, 6, 7}) control.menuClicked(entry);
  EXPECT_EQ(sink.events, (Events{"1002", "1005"}));
  EXPECT_EQ(surface().selLength(), 2);
}

}  // namespace
}  // namespace tavi
