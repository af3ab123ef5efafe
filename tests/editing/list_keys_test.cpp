// ListKeepsKeys: while the completion list shows, its keys move its selection and leave the
// caret and the focus in the text; Enter commits the selected entry.
#include "editing/editing_fixture.h"

namespace tavi {
namespace {

class ListKeysTest : public testing::EditingFixture {
 protected:
  ListKeysTest() { control.ListKeepsKeys = true; }
};

// The list opened by F1 on "QUE" has its entry selected (84); each key moves the selection
// from there. The page is the list's 8 rows less one.
TEST_F(ListKeysTest, TheListsKeysMoveItsSelectionAndNotTheCaret) {
  struct Row {
    int16_t key;
    int32_t listIndex;
  };
  const int32_t queue = indexOf(u"QUEUE TO AGENT");
  const int32_t last = static_cast<int32_t>(list().items().size()) - 1;
  const Row rows[] = {
      {.key = vk::kDown, .listIndex = queue + 1}, {.key = vk::kUp, .listIndex = queue - 1},
      {.key = vk::kNext, .listIndex = queue + 7}, {.key = vk::kPrior, .listIndex = queue - 7},
      {.key = vk::kHome, .listIndex = 0},         {.key = vk::kEnd, .listIndex = last},
  };
  for (const Row& row : rows) {
    given(u"IF x\r\nQUE\r\nQUIT", 9);
    press(vk::kF1);
    ASSERT_EQ(list().listIndex(), queue) << "F1 selects the entry for the word";
    press(row.key);
    EXPECT_EQ(list().listIndex(), row.listIndex) << row.key;
    EXPECT_EQ(surface().selStart(), 9) << row.key;
    EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface) << row.key;
    EXPECT_TRUE(list().visible()) << row.key;
  }
  press(vk::kEnd);
  press(vk::kDown);
  EXPECT_EQ(list().listIndex(), last) << "the selection stops at the last entry";
}

// The key press swallows the list's keys, so no surface acts on them; Left and Right still
// move the caret.
TEST_F(ListKeysTest, KeyDownSwallowsTheListsKeysOnly) {
  given(u"QUE");
  press(vk::kF1);
  for (int16_t key :
       {vk::kUp, vk::kDown, vk::kPrior, vk::kNext, vk::kHome, vk::kEnd, vk::kReturn, vk::kLeft}) {
    int16_t code = key;
    int16_t shift = 0;
    control.surfaceKeyDown(code, shift);
    EXPECT_EQ(code, key == vk::kLeft ? vk::kLeft : 0) << key;
  }
}

// Enter with an entry selected commits it as Space would, without a line break and without
// a blank; with nothing selected, or with the list hidden, Enter breaks the line.
TEST_F(ListKeysTest, EnterCommitsTheSelectedEntryWithoutALineBreak) {
  given(u"WAIT 2\r\nQU");
  press(vk::kF1);
  press(vk::kDown);
  press(vk::kReturn);
  EXPECT_EQ(text(), u"WAIT 2\r\nQUEUE TO NACD");
  EXPECT_EQ(surface().selStart(), static_cast<int32_t>(text().size()));
  EXPECT_FALSE(list().visible());
  EXPECT_TRUE(control.m_bChange);
  EXPECT_EQ(sink.events, (testing::Events{"1007", "1007", "change", "1007"}));
  control.Undo();
  EXPECT_EQ(text(), u"WAIT 2\r\nQU") << "one undoable change";

  given(u"XYZ");
  press(vk::kF1);
  list().setListIndex(-1);
  press(vk::kReturn);
  EXPECT_EQ(text(), u"XYZ\r\n");
  EXPECT_FALSE(list().visible());
}

}  // namespace
}  // namespace tavi
