// The keyword completion list and the parameter hint, driven by a person's keys: F1 opens
// the list at the caret, typing narrows it, a navigation key enters it, Space commits or
// looks for a hint.
#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using testing::Events;
using CompletionTest = testing::EditingFixture;

// The headless caret is 8 x 16 pixels per character; the surface is 552 x 400 pixels, the
// list 160 x 128. A widget goes 3 right of and 18 below the caret, plus the editor's 32.

TEST_F(CompletionTest, F1OnAnEmptyTextShowsTheListAtTheCaretAndKeepsItsSelection) {
  given(u"", 0);
  list().setListIndex(5);
  press(vk::kF1);
  EXPECT_TRUE(list().visible() && module().m_bListShown);
  EXPECT_EQ(list().left(), 35);
  EXPECT_EQ(list().top(), 18);
  EXPECT_EQ(list().listIndex(), 5);
  EXPECT_TRUE(control.m_bChange) << "F1 counts as an editing key";
  EXPECT_EQ(sink.events, Events{"1007"});
}

TEST_F(CompletionTest, F1AfterAWordChoosesTheHintOfItsFirstMatchButNotTheSelection) {
  given(u"IF QU", 5);
  list().setListIndex(7);
  press(vk::kF1);
  EXPECT_TRUE(list().visible());
  EXPECT_EQ(list().left(), 5 * 8 + 35);
  EXPECT_EQ(module().m_iHintIndex, indexOf(u"QUEUE TO AGENT"));
  EXPECT_EQ(list().listIndex(), 7);

  // Open already: nothing moves.
  widgets.type(u"E");
  press(vk::kF1);
  EXPECT_EQ(list().left(), 5 * 8 + 35);
}

TEST_F(CompletionTest, F1WithoutAMatchingWordSelectsTheFirstEntry) {
  struct Row {
    const char16_t* text;
    int32_t listIndex, expectedIndex, expectedHint;
  };
  // After a blank, after a word no entry begins with, and with nothing selected.
  for (const Row row : {Row{u"IF ", 7, 0, -1}, {u"XYZ", 7, 0, -1}, {u"IF\r\n", -1, -1, 42}}) {
    given(row.text, static_cast<int32_t>(std::u16string_view(row.text).size()));
    list().setListIndex(row.listIndex);
    module().m_iHintIndex = 42;
    press(vk::kF1);
    EXPECT_TRUE(list().visible());
    EXPECT_EQ(list().listIndex(), row.expectedIndex) << std::u16string_view(row.text).size();
    EXPECT_EQ(module().m_iHintIndex, row.expectedHint);
  }
}

TEST_F(CompletionTest, TypingNarrowsTheListCaseSensitively) {
  given(u"", 0);
  press(vk::kF1);
  widgets.type(u"QU");
  EXPECT_EQ(list().text(), u"QUEUE TO AGENT");
  widgets.type(u"EUED");
  EXPECT_EQ(list().text(), u"QUEUED");

  given(u"", 0);
  press(vk::kF1);
  list().setListIndex(3);
  widgets.type(u"qu");
  EXPECT_EQ(list().listIndex(), 3) << "no entry begins with lower case";
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);
}

TEST_F(CompletionTest, ANavigationKeyEntersTheListWhichStaysWhenThePersonClicksBack) {
  given(u"AB", 2);
  press(vk::kF1);
  press(vk::kDown);
  EXPECT_EQ(list().listIndex(), 0);
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kList);
  EXPECT_TRUE(module().m_bCaretMoved);
  press(vk::kDown);  // the list's own key now
  EXPECT_EQ(list().listIndex(), 1);
  widgets.click(0, 0);
  EXPECT_TRUE(list().visible() && module().m_bListShown);
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);
}

TEST_F(CompletionTest, SpaceCommitsTheSelectedKeywordAsOneRecordedChange) {
  given(u"IF QUE", 6);
  press(vk::kF1);
  widgets.clickListItem(indexOf(u"QUEUE TO SKILLSET"));
  const int32_t before = snapshots();
  sink.events.clear();
  press(vk::kSpace);
  EXPECT_EQ(text(), u"IF QUEUE TO SKILLSET ");
  EXPECT_EQ(surface().selStart(), 21);
  ASSERT_EQ(snapshots(), before + 2) << "the Space, then the commit";
  EXPECT_EQ(control.m_colUndo.item(before + 1).Text.str(), u"IF QUE ");
  EXPECT_EQ(control.m_colUndo.last().Text.str(), u"IF QUEUE TO SKILLSET ");
  EXPECT_EQ(sink.events, (Events{"change", "change", "1007"}));
  EXPECT_FALSE(list().visible() || module().m_bListShown);
  EXPECT_EQ(module().m_iHintIndex, indexOf(u"QUEUE TO SKILLSET"));
  EXPECT_TRUE(hint().visible() && module().m_bHintShown);
  EXPECT_EQ(hint().text(), u"") << "only the first three entries have a hint";
  EXPECT_EQ(hint().width(), 5);
}

TEST_F(CompletionTest, TypingAndCommittingTheFirstKeywordShowsItsHint) {
  given(u"", 0);
  press(vk::kF1);
  widgets.type(u"AG ");
  EXPECT_EQ(text(), u"AGE OF CALL ");
  EXPECT_EQ(hint().text(), u"tham so 1,tham so 2");
}

TEST_F(CompletionTest, TheCommitStopsAtATabWhichTheTypingScanTakesIntoTheWord) {
  given(u"\tQ", 2);
  press(vk::kF1);
  list().setListIndex(5);
  widgets.type(u"U");
  EXPECT_EQ(list().listIndex(), 5) << "the word is TAB QU: no entry matches";
  widgets.clickListItem(indexOf(u"QUIT"));
  widgets.type(u" ");
  EXPECT_EQ(text(), u"\tQUIT ");
}

TEST_F(CompletionTest, NearTheRightAndBottomEdgesTheListOpensLeftOfAndAboveTheCaret) {
  struct Row {
    int32_t column, line, left, top;
  };
  // Right of the caret while x <= 552 - 160 - 3, below it while y <= 400 - 128 - 18.
  for (const Row row : {Row{48, 0, 384 + 35, 18},
                        {49, 0, 392 + 3 - 160 + 32, 18},
                        {0, 15, 35, 240 + 18},
                        {0, 16, 35, 256 - 128}}) {
    Text t;
    for (int32_t i = 0; i < row.line; ++i) t += u"\r\n";
    t += Text(static_cast<size_t>(row.column), u'x');
    given(t, static_cast<int32_t>(t.size()));
    press(vk::kF1);
    EXPECT_EQ(list().left(), row.left) << row.column << " " << row.line;
    EXPECT_EQ(list().top(), row.top) << row.column << " " << row.line;
  }
}

TEST_F(CompletionTest, BeyondOffset32767TheScansFindNoWord) {
  // The first text puts F1 at offset 32766 and the typed I at 32767; the second, beyond.
  for (const int32_t blanks : {32764, 32766}) {
    const Text t = Text(static_cast<size_t>(blanks), u' ') + u"QU";
    given(t, static_cast<int32_t>(t.size()));
    list().setListIndex(7);
    module().m_iHintIndex = 42;
    press(vk::kF1);
    const bool found = blanks == 32764;
    EXPECT_EQ(module().m_iHintIndex, found ? indexOf(u"QUEUE TO AGENT") : -1) << blanks;
    EXPECT_EQ(list().listIndex(), found ? 7 : 0);
    widgets.type(u"I");
    EXPECT_EQ(list().text(), found ? u"QUIT" : u"AGE OF CALL");
  }
}

// ---- The parameter hint ----

TEST_F(CompletionTest, SpaceAfterAKeywordShowsItsHintNextToTheCaret) {
  given(u"", 0);
  widgets.type(u"AND ");
  EXPECT_TRUE(hint().visible() && module().m_bHintShown);
  EXPECT_EQ(hint().text(), u"tham so 1,tham so 2,tham so 3");
  EXPECT_EQ(hint().width(), 29 * 7 + 5);
  EXPECT_EQ(hint().height(), 16 + 5);
  EXPECT_EQ(hint().left(), 4 * 8 + 35);
  EXPECT_EQ(hint().top(), 18);
  EXPECT_EQ(module().m_iHintIndex, indexOf(u"AND"));
  EXPECT_EQ(surface().selStart(), 4);
  EXPECT_EQ(surface().selLength(), 0) << "the search's selection is dropped";

  widgets.type(u"OR ");  // shown: no new search
  EXPECT_EQ(module().m_iHintIndex, indexOf(u"AND"));
  EXPECT_EQ(hint().left(), 4 * 8 + 35);
}

TEST_F(CompletionTest, TheHintSearchLooksAtTheNineCharactersBeforeTheCaretMatchingCase) {
  struct Row {
    const char16_t* typed;
    const char16_t* keyword;  // nullptr: no hint
  };
  for (const Row row : {Row{u"DISCONNECT ", nullptr},
                        {u"and ", nullptr},
                        {u"CALL ON HOLD ", u"ON HOLD"},
                        {u"X GIVE RAN ", u"GIVE RAN"},
                        {u"X GIVE BUSY ", nullptr}}) {
    given(u"", 0);
    widgets.type(row.typed);
    EXPECT_EQ(hint().visible(), row.keyword != nullptr) << std::u16string_view(row.typed).size();
    if (row.keyword == nullptr) continue;
    EXPECT_EQ(module().m_iHintIndex, indexOf(row.keyword));
    EXPECT_EQ(hint().text(), u"") << "an empty hint still shows the widget";
    EXPECT_EQ(hint().width(), 5);
    EXPECT_EQ(hint().height(), 21);
  }
}

}  // namespace
}  // namespace tavi
