// The keyword completion list and the parameter hint, driven by a person's keys: F1 opens
// the list at the caret, typing narrows it, Space commits or looks for a hint.
#include <tuple>
#include <utility>

#include "editing/editing_fixture.h"
#include "editing/parameter_hint.h"

namespace tavi {
namespace {

using CompletionTest = testing::EditingFixture;

// The text, the list's selection before F1 and after, and the hint index after (42 before):
// an empty text, after a blank, after a word no entry begins with, nothing selected, a match.
TEST_F(CompletionTest, F1SelectsTheFirstEntryOnlyWhenNoWordMatchesAndSomethingWasSelected) {
  const std::tuple<Text, int32_t, int32_t, int32_t> rows[] = {
      {u"", 5, 5, 42},
      {u"IF ", 7, 0, -1},
      {u"XYZ", 7, 0, -1},
      {u"IF\r\n", -1, -1, 42},
      {u"IF QU", 7, 7, indexOf(u"QUEUE TO AGENT")}};
  for (const auto& [before, listIndex, expectedIndex, expectedHint] : rows) {
    given(before);
    list().setListIndex(listIndex);
    module().m_iHintIndex = 42;
    press(vk::kF1);
    EXPECT_TRUE(list().visible() && module().m_bListShown);
    EXPECT_EQ(list().listIndex(), expectedIndex) << listIndex;
    EXPECT_EQ(module().m_iHintIndex, expectedHint) << listIndex;
  }
  const int32_t left = list().left();
  widgets.type(u"E");
  press(vk::kF1);
  EXPECT_EQ(list().left(), left) << "open already: nothing moves";
}

// The text before F1, the keys typed after it, and the text and the hint they leave. The
// typing scan takes a tab into the word, so that "\tQU" selects nothing new and the entry
// that F1 selected is committed; the commit scan stops at the tab.
TEST_F(CompletionTest, SpaceCommitsTheSelectedKeywordInPlaceOfTheWordTypedSinceABlankOrTab) {
  const std::tuple<Text, Text, Text, Text> rows[] = {
      {u"", u"AG ", u"AGE OF CALL ", u"tham so 1,tham so 2"},
      {u"IF ", u"QUE ", u"IF QUEUE TO AGENT ", u""},
      {u"\t", u"QU ", u"\tAGE OF CALL ", u"tham so 1,tham so 2"},
  };
  for (const auto& [before, typed, after, shownHint] : rows) {
    given(before);
    press(vk::kF1);
    widgets.type(typed);
    EXPECT_EQ(text(), after);
    EXPECT_TRUE(module().m_bHintShown);
    EXPECT_EQ(hint().text(), shownHint);
  }
  given(u"");
  press(vk::kF1);
  list().setListIndex(5);
  widgets.type(u"qu");
  EXPECT_EQ(list().listIndex(), 5) << "typing matches case";
}

// The headless caret is 8 x 16 pixels per character; the surface is 552 x 400 pixels, the
// list 160 x 128. The list goes 3 right of and 18 below the caret, plus the editor's 32,
// while x <= 552 - 160 - 3 and y <= 400 - 128 - 18. Caret column and line, list left and top:
TEST_F(CompletionTest, NearTheRightAndBottomEdgesTheListOpensLeftOfAndAboveTheCaret) {
  const std::tuple<int32_t, int32_t, int32_t, int32_t> rows[] = {{48, 0, 384 + 35, 18},
                                                                 {49, 0, 392 + 3 - 160 + 32, 18},
                                                                 {0, 15, 35, 240 + 18},
                                                                 {0, 16, 35, 256 - 128}};
  for (const auto& [column, line, left, top] : rows) {
    Text t;
    for (int32_t i = 0; i < line; ++i) t += u"\r\n";
    given(t + Text(static_cast<size_t>(column), u'x'));
    press(vk::kF1);
    EXPECT_EQ(list().left(), left) << column << " " << line;
    EXPECT_EQ(list().top(), top) << column << " " << line;
  }
}

TEST_F(CompletionTest, BeyondOffset32767TheScansFindNoWord) {
  // The first text puts F1 at offset 32766 and the typed I at 32767; the second, beyond.
  for (const int32_t blanks : {32764, 32766}) {
    const Text t = Text(static_cast<size_t>(blanks), u' ') + u"QU";
    given(t);
    list().setListIndex(7);
    press(vk::kF1);
    const bool found = blanks == 32764;
    EXPECT_EQ(module().m_iHintIndex, found ? indexOf(u"QUEUE TO AGENT") : -1) << blanks;
    EXPECT_EQ(list().listIndex(), found ? 7 : 0);
    widgets.type(u"I");
    EXPECT_EQ(list().text(), found ? u"QUIT" : u"AGE OF CALL");
  }
}

// The hint search looks for a whole keyword, matching case, in the nine characters before
// the caret.
TEST_F(CompletionTest, SpaceShowsTheHintOfTheFirstKeywordBeforeTheCaret) {
  // What is typed, and the keyword whose hint shows ("": none).
  const std::pair<Text, Text> rows[] = {{u"DISCONNECT ", u""},
                                        {u"and ", u""},
                                        {u"XANDY ", u""},
                                        {u"CALL ON HOLD ", u"ON HOLD"},
                                        {u"X GIVE RAN ", u"GIVE RAN"},
                                        {u"X GIVE BUSY ", u""}};
  for (const auto& [typed, keyword] : rows) {
    given(u"");
    widgets.type(typed);
    EXPECT_EQ(hint().visible(), !keyword.empty()) << toUtf8(typed);
    if (keyword.empty()) continue;
    EXPECT_EQ(module().m_iHintIndex, indexOf(keyword));
  }
}

// Hint texts the host sets (SetKeywordHint) and HideEmptyHint, where the extensions_hint
// scenario does not reach: a keyword listed twice, and a commit that replaces a hint.
TEST_F(CompletionTest, AKeywordListedTwiceTakesTheHostsHintTextAtBothPlaces) {
  control.SetKeywordHint(u"WITH PRIORITY", u"p");
  const int32_t first = indexOf(u"WITH PRIORITY");
  EXPECT_EQ(HintTextFor(control, first), u"p");
  EXPECT_EQ(HintTextFor(control, first + 1), u"p");
  EXPECT_EQ(HintTextFor(control, first + 2), u"") << "WITH TERMINATING CHARACTER";
}

// A commit of a keyword without hint text hides the hint that was showing.
TEST_F(CompletionTest, WithHideEmptyHintACommitWithoutTextHidesTheHint) {
  control.HideEmptyHint = true;
  control.SetKeywordHint(u"IF", u"cond");
  given(u"");
  widgets.type(u"IF ");
  EXPECT_EQ(hint().text(), u"cond");
  press(vk::kF1);
  widgets.type(u"QUIT ");
  EXPECT_EQ(text(), u"IF QUIT ");
  EXPECT_FALSE(hint().visible());
  EXPECT_FALSE(module().m_bHintShown);
}

// ListKeepsKeys: while the completion list shows, its keys move its selection and leave the
// caret and the focus in the text (the scenario extensions_list_keys shows Down and Enter).
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
