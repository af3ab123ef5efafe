// ShiftTabOutdent: Shift+Tab takes one level of indentation from the selected lines (the
// scenario extensions_outdent shows a tab, six blanks, a line without blanks, the caret's
// line, Undo and Tab).
#include "editing/outdent.h"

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

TEST(OutdentCuts, OneTabOrUpToFourBlanksFromEachLineTheSelectionTouches) {
  struct Row {
    const char16_t* text;
    int32_t start;
    int32_t end;
    std::vector<IndentCut> cuts;
  };
  const Row rows[] = {
      {.text = u" \tIF", .start = 0, .end = 0, .cuts = {{.at = 0, .length = 1}}},
      // Selected down to the start of the next line: that line stays.
      {.text = u"\tA\r\n\tB", .start = 0, .end = 4, .cuts = {{.at = 0, .length = 1}}},
  };
  for (const Row& row : rows) {
    const std::vector<IndentCut> cuts = OutdentCuts(row.text, row.start, row.end);
    ASSERT_EQ(cuts.size(), row.cuts.size()) << ::testing::PrintToString(Text(row.text));
    for (size_t i = 0; i < cuts.size(); ++i) {
      EXPECT_EQ(cuts[i].at, row.cuts[i].at);
      EXPECT_EQ(cuts[i].length, row.cuts[i].length);
    }
  }
}

using OutdentTest = testing::EditingFixture;

// The keyword colours stay where they were, only the indentation goes; a locked control
// keeps its text and journals nothing.
TEST_F(OutdentTest, ShiftTabKeepsTheColoursAndLeavesALockedControlAlone) {
  control.ShiftTabOutdent = true;
  given(u"\tIF x", 1, 2);
  surface().setSelColor(kColorKeyword);
  surface().setSelBold(true);
  press(vk::kTab, kShiftMask);
  EXPECT_EQ(marked(), u"[IF] x");
  given(u"\tIF");
  control.DisableControl();
  const int32_t steps = control.m_colUndo.count();
  press(vk::kTab, kShiftMask);
  EXPECT_EQ(text(), u"\tIF");
  EXPECT_EQ(control.m_colUndo.count(), steps);
}

}  // namespace
}  // namespace tavi
