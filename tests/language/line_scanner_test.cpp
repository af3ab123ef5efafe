#include "language/line_scanner.h"

#include "support/control_fixture.h"

namespace tavi {
namespace {

class LineScannerTest : public testing::ControlFixture {
 protected:
  struct Line {
    int32_t start;
    Text text;
  };
  Line lineAt(int32_t p, int32_t passedStart = -7) {
    Line line{passedStart, u"junk"};
    control.module().m_bTextChanged = true;
    GetLineAt(control, p, line.start, line.text);
    EXPECT_FALSE(control.module().m_bTextChanged);
    return line;
  }
  void replaceText(TextView text) {
    widgets.surface().setSelStart(0);
    widgets.surface().setSelLength(widgets.surface().textLength());
    load(text);
  }
  std::pair<int32_t, int32_t> span(int32_t p) {
    const Line line = lineAt(p);
    int32_t start = -1;
    int32_t end = -1;
    FindKeywordSpan(control, p, line.start, line.text, start, end);
    return {start, end};
  }
};

TEST_F(LineScannerTest, LineOfACaretCarriesTheLineFeedBeforeIt) {
  replaceText(u"AB\r\nCD");
  EXPECT_EQ(lineAt(1).start, 0);
  EXPECT_EQ(lineAt(1).text, u"AB");
  EXPECT_EQ(lineAt(0).text, u"AB");
  EXPECT_EQ(lineAt(2).text, u"AB");  // the end of a line belongs to it
  EXPECT_EQ(lineAt(5).start, 4);
  EXPECT_EQ(lineAt(5).text, u"\nCD");
  EXPECT_EQ(lineAt(4).text, u"\nCD");
  EXPECT_EQ(lineAt(6).text, u"\nCD");
  EXPECT_EQ(lineAt(60).text, u"\nCD");  // beyond the text: the last line
}

TEST_F(LineScannerTest, CaretAfterAClosingLineBreakIsOnAnEmptyLastLine) {
  replaceText(u"IF\r\n");
  EXPECT_EQ(lineAt(4).start, 4);
  EXPECT_EQ(lineAt(4).text, u"\n");
}

TEST_F(LineScannerTest, CaretBetweenCrAndLfFindsAnEmptyLine) {
  replaceText(u"AB\r\nCD");
  EXPECT_EQ(lineAt(3).start, 4);
  EXPECT_EQ(lineAt(3).text, u"");
}

TEST_F(LineScannerTest, EmptyTextKeepsThePassedStart) {
  EXPECT_EQ(lineAt(0, 42).start, 42);
  EXPECT_EQ(lineAt(0, 42).text, u"");
}

TEST_F(LineScannerTest, SpanReachesFromTheKeywordBeforeToTheOneAfter) {
  replaceText(u"IF x THEN QUIT");
  // QUIT is met first and sets the length; THEN then moves the end: 5 + 4.
  EXPECT_EQ(span(4), std::make_pair(0, 9));
  EXPECT_EQ(span(10), std::make_pair(5, 14));
  EXPECT_EQ(span(14), std::make_pair(10, 14));  // QUIT lies before the caret
}

TEST_F(LineScannerTest, SpanWithoutKeywordsIsTheWholeLineUpToItsLimit) {
  replaceText(u"x = 1\r\nif y then z\r\nw");
  EXPECT_EQ(span(3), std::make_pair(0, 5));     // first line: up to its CR
  EXPECT_EQ(span(10), std::make_pair(7, 19));   // later lines: their CR included
  EXPECT_EQ(span(21), std::make_pair(20, 22));  // last line: its end + 1 as well
}

TEST_F(LineScannerTest, SpanUsesTheFirstOccurrenceOfEachKeywordInEachHalf) {
  replaceText(u"IF a IF b | c THEN d THEN");
  EXPECT_EQ(span(11), std::make_pair(0, 18));
}

TEST_F(LineScannerTest, SpanIgnoresPartsOfWordsAndKeywordsAcrossTheCaret) {
  replaceText(u"IFX THENX QUIT");
  EXPECT_EQ(span(5), std::make_pair(0, 14));
  replaceText(u"x ELSE y");
  EXPECT_EQ(span(4), std::make_pair(0, 8));  // ELSE straddles the caret
}

}  // namespace
}  // namespace tavi
