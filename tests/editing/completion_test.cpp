// The keyword completion list and the parameter hint, driven by a person's keys: F1 opens
// the list at the caret, typing narrows it, Space commits or looks for a hint.
#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using CompletionTest = testing::EditingFixture;

TEST_F(CompletionTest, F1SelectsTheFirstEntryOnlyWhenNoWordMatchesAndSomethingWasSelected) {
  struct Row {
    const char16_t* text;
    int32_t listIndex, expectedIndex, expectedHint;
  };
  // An empty text, after a blank, after a word no entry begins with, nothing selected, a match.
  for (const Row row : {Row{u"", 5, 5, 42},
                        {u"IF ", 7, 0, -1},
                        {u"XYZ", 7, 0, -1},
                        {u"IF\r\n", -1, -1, 42},
                        {u"IF QU", 7, 7, indexOf(u"QUEUE TO AGENT")}}) {
    given(row.text);
    list().setListIndex(row.listIndex);
    module().m_iHintIndex = 42;
    press(vk::kF1);
    EXPECT_TRUE(list().visible() && module().m_bListShown);
    EXPECT_EQ(list().listIndex(), row.expectedIndex) << row.listIndex;
    EXPECT_EQ(module().m_iHintIndex, row.expectedHint) << row.listIndex;
  }
  const int32_t left = list().left();
  widgets.type(u"E");
  press(vk::kF1);
  EXPECT_EQ(list().left(), left) << "open already: nothing moves";
}

// The typing scan takes a tab into the word, so that "\tQU" selects nothing new and the
// entry that F1 selected is committed; the commit scan stops at the tab.
TEST_F(CompletionTest, SpaceCommitsTheSelectedKeywordInPlaceOfTheWordTypedSinceABlankOrTab) {
  struct Row {
    const char16_t* before;
    const char16_t* typed;
    const char16_t* after;
    const char16_t* hint;
  };
  const Row rows[] = {
      {u"", u"AG ", u"AGE OF CALL ", u"tham so 1,tham so 2"},
      {u"IF ", u"QUE ", u"IF QUEUE TO AGENT ", u""},
      {u"\t", u"QU ", u"\tAGE OF CALL ", u"tham so 1,tham so 2"},
  };
  for (const Row& row : rows) {
    given(row.before);
    press(vk::kF1);
    widgets.type(row.typed);
    EXPECT_EQ(text(), row.after);
    EXPECT_TRUE(module().m_bHintShown);
    EXPECT_EQ(hint().text(), row.hint);
  }
  given(u"");
  press(vk::kF1);
  list().setListIndex(5);
  widgets.type(u"qu");
  EXPECT_EQ(list().listIndex(), 5) << "typing matches case";
}

// The headless caret is 8 x 16 pixels per character; the surface is 552 x 400 pixels, the
// list 160 x 128. The list goes 3 right of and 18 below the caret, plus the editor's 32,
// while x <= 552 - 160 - 3 and y <= 400 - 128 - 18.
TEST_F(CompletionTest, NearTheRightAndBottomEdgesTheListOpensLeftOfAndAboveTheCaret) {
  struct Row {
    int32_t column, line, left, top;
  };
  for (const Row row : {Row{48, 0, 384 + 35, 18},
                        {49, 0, 392 + 3 - 160 + 32, 18},
                        {0, 15, 35, 240 + 18},
                        {0, 16, 35, 256 - 128}}) {
    Text t;
    for (int32_t i = 0; i < row.line; ++i) t += u"\r\n";
    t += Text(static_cast<size_t>(row.column), u'x');
    given(t);
    press(vk::kF1);
    EXPECT_EQ(list().left(), row.left) << row.column << " " << row.line;
    EXPECT_EQ(list().top(), row.top) << row.column << " " << row.line;
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
  struct Row {
    const char16_t* typed;
    const char16_t* keyword;  // nullptr: no hint
  };
  for (const Row row : {Row{u"DISCONNECT ", nullptr},
                        {u"and ", nullptr},
                        {u"XANDY ", nullptr},
                        {u"CALL ON HOLD ", u"ON HOLD"},
                        {u"X GIVE RAN ", u"GIVE RAN"},
                        {u"X GIVE BUSY ", nullptr}}) {
    given(u"");
    widgets.type(row.typed);
    EXPECT_EQ(hint().visible(), row.keyword != nullptr) << std::u16string_view(row.typed).size();
    if (row.keyword == nullptr) continue;
    EXPECT_EQ(module().m_iHintIndex, indexOf(row.keyword));
  }
}

}  // namespace
}  // namespace tavi
