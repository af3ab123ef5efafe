// ListKeepsKeys: while the completion list shows, its keys move its selection and leave the
// caret and the focus in the text (the scenario extensions_list_keys shows Down and Enter).
#include "editing/editing_fixture.h"

namespace tavi {
namespace {

class ListKeysTest : public testing::EditingFixture {
 protected:
  ListKeysTest() { control.ListKeepsKeys = true; }
};

// F1 on "QUE" selects its entry (84); each key moves the selection from there. A page is
// the list's 8 rows less one.
TEST_F(ListKeysTest, TheListsKeysMoveItsSelectionAndNotTheCaret) {
  struct Row {
    int16_t key;
    int32_t listIndex;
  };
  const int32_t queue = indexOf(u"QUEUE TO AGENT");
  const int32_t last = static_cast<int32_t>(list().items().size()) - 1;
  const Row rows[] = {
      {.key = vk::kUp, .listIndex = queue - 1},    {.key = vk::kNext, .listIndex = queue + 7},
      {.key = vk::kPrior, .listIndex = queue - 7}, {.key = vk::kHome, .listIndex = 0},
      {.key = vk::kEnd, .listIndex = last},
  };
  for (const Row& row : rows) {
    given(u"IF x\r\nQUE\r\nQUIT", 9);
    press(vk::kF1);
    press(row.key);
    EXPECT_EQ(list().listIndex(), row.listIndex) << row.key;
    EXPECT_EQ(surface().selStart(), 9) << row.key;
    EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface) << row.key;
  }
  press(vk::kDown);
  EXPECT_EQ(list().listIndex(), last) << "the selection stops at the last entry";
  press(vk::kLeft);
  EXPECT_EQ(surface().selStart(), 8) << "Left and Right still move the caret";
}

// With no entry selected Enter breaks the line and closes the list, as without the option.
TEST_F(ListKeysTest, EnterWithoutASelectedEntryIsALineBreak) {
  given(u"XYZ");
  press(vk::kF1);
  list().setListIndex(-1);
  press(vk::kReturn);
  EXPECT_EQ(text(), u"XYZ\r\n");
  EXPECT_FALSE(list().visible());
}

}  // namespace
}  // namespace tavi
