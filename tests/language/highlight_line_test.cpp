#include "language/highlight_line.h"

#include <climits>

#include "shell/runtime_error.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

class HighlightLineTest : public testing::ControlFixture {
 protected:
  HeadlessEditSurface& surface() { return widgets.surface(); }
  void replaceText(TextView text) {
    surface().setSelStart(0);
    surface().setSelLength(surface().textLength());
    load(text);
    surface().setHideSelection(true);
  }
  // The selection that HighlightLine(line, startPos) leaves, as start and length.
  std::pair<int32_t, int32_t> select(int32_t line, int32_t startPos) {
    EXPECT_TRUE(HighlightLine(control, line, startPos).isEmpty());
    EXPECT_FALSE(surface().hideSelection());
    return {surface().selStart(), surface().selLength()};
  }
  // The number of the line the gutter shows as the caret's, from its last paint.
  std::string gutterCaretLine() {
    const int32_t windowText = *platform.screen().systemColor(8);
    for (const GutterTextDrawn& t : widgets.gutter().lastPaint()->texts)
      if (t.color == windowText) return toUtf8(t.text);
    return "";
  }
  void expectSubscriptError(int32_t line, int32_t startPos) {
    try {
      HighlightLine(control, line, startPos);
      FAIL() << "no error for line " << line;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), err::kSubscript);
    }
    EXPECT_FALSE(surface().hideSelection());
  }
};

TEST_F(HighlightLineTest, WholeLineWithItsCr) {
  replaceText(u"A\r\nBB\r\nCD");
  EXPECT_EQ(select(3, 0), std::make_pair(7, 2));  // the last piece has no CR
  EXPECT_EQ(select(2, -5), std::make_pair(3, 3));
  EXPECT_EQ(gutterCaretLine(), "2");
  EXPECT_EQ(select(1, 0), std::make_pair(0, 2));
}

TEST_F(HighlightLineTest, TokenEndsAtASpaceOrADelimiter) {
  replaceText(u"X FOO(1)\r\nY");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 3));
  replaceText(u"X FOO BAR");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 3));
  EXPECT_EQ(select(1, 2), std::make_pair(1, 0));  // the tail starts with a space
  replaceText(u"X FOO/*c*/ BAR");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 3));
}

TEST_F(HighlightLineTest, FirstDelimiterOfTheTableWinsOverTheLeftmost) {
  replaceText(u"X A)B(C");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 3));  // "(" comes before ")" in the table
}

TEST_F(HighlightLineTest, LastTokenRunsToThePieceEnd) {
  replaceText(u"X FOO");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 3));
  replaceText(u"X FOO\r\nY");
  EXPECT_EQ(select(1, 3), std::make_pair(2, 4));  // its CR included
}

TEST_F(HighlightLineTest, ColumnBeyondTheLineSelectsItsLastCharacterOnly) {
  replaceText(u"0123456789\r\nAB");
  EXPECT_EQ(select(2, 0), std::make_pair(12, 2));
  EXPECT_EQ(select(2, 50), std::make_pair(13, 1));
  EXPECT_EQ(gutterCaretLine(), "2");
  EXPECT_EQ(select(1, 50), std::make_pair(10, 1));  // the CR
  EXPECT_EQ(gutterCaretLine(), "2");                // not repainted
}

TEST_F(HighlightLineTest, EmptyLastLineAfterAClosingLineBreak) {
  replaceText(u"A\r\nB\r\n");
  EXPECT_EQ(select(3, 0), std::make_pair(6, 0));
  EXPECT_EQ(select(3, 1), std::make_pair(5, 1));  // the LF before it
}

TEST_F(HighlightLineTest, LineOutOfRangeFailsAfterShowingTheSelection) {
  replaceText(u"A\r\nB\r\nCD");
  surface().setSelStart(4);
  surface().setSelLength(3);
  expectSubscriptError(0, 0);
  EXPECT_EQ(surface().selStart(), 0);  // the caret went to where the search ended
  EXPECT_EQ(surface().selLength(), 0);

  // Four steps through the starts 0, 3, 6, back to 0 and on to 3.
  expectSubscriptError(5, 0);
  EXPECT_EQ(surface().selStart(), 3);

  surface().setSelStart(4);
  surface().setSelLength(3);
  expectSubscriptError(4, 2);
  expectSubscriptError(-3, 1);
  EXPECT_EQ(surface().selStart(), 4);  // a token request changes nothing else
  EXPECT_EQ(surface().selLength(), 3);

  surface().setSelStart(4);
  expectSubscriptError(INT_MAX, 0);    // the walk is worked out, not taken step by step
  EXPECT_EQ(surface().selStart(), 0);  // INT_MAX - 1 steps, a multiple of 3
}

TEST_F(HighlightLineTest, SearchStopsAtTheEndOfATextEndingWithALineBreak) {
  replaceText(u"A\r\nB\r\n");
  expectSubscriptError(9, 0);
  EXPECT_EQ(surface().selStart(), 6);
}

TEST_F(HighlightLineTest, EmptyTextHasOneEmptyLine) {
  replaceText(u"");
  EXPECT_EQ(select(1, 0), std::make_pair(0, 0));
  expectSubscriptError(2, 0);
}

}  // namespace
}  // namespace tavi
