#include "language/highlight_line.h"

#include <climits>
#include <tuple>

#include "support/control_fixture.h"
#include "support/error_number.h"

namespace tavi {
namespace {

class HighlightLineTest : public testing::ControlFixture {
 protected:
  Variant highlight(int32_t line, int32_t startPos) {
    return HighlightLine(control, line, startPos);
  }
  // The number of the line the gutter shows as the caret's, from its last paint.
  std::string gutterCaretLine() {
    const int32_t windowText = *platform.screen().systemColor(8);
    for (const GutterTextDrawn& t : widgets.gutter().lastPaint()->texts)
      if (t.color == windowText) return toUtf8(t.text);
    return "";
  }
};

// Text, line, column, whether it fails, and the selection left (start, length) from a
// selection of 3 characters at 4. A line out of range fails with a subscript error after
// showing the selection; a whole-line request has then already put the caret where the
// search for the line's start ended. A search that finds no LF starts again from offset 0,
// so on A CR LF B CR LF CD the starts go 0, 3, 6, 0, 3, ... A selection that takes the CR
// or the LF of a line break takes the whole break.
TEST_F(HighlightLineTest, SelectsTheLineOrTheTokenAtAColumn) {
  const std::tuple<Text, int32_t, int32_t, bool, int32_t, int32_t> cases[] = {
      {u"A\r\nBB\r\nCD", 2, -5, false, 3, 4},  // a column of 0 or less: the line with its break
      {u"A\r\nBB\r\nCD", 3, 0, false, 7, 2},   // the last piece has no CR
      {u"X FOO BAR", 1, 3, false, 2, 3},       // the token ends at a space or a delimiter
      {u"X FOO/*c*/ BAR", 1, 3, false, 2, 3},
      {u"X A)B(C", 1, 3, false, 2, 3},    // the first delimiter of the table wins, not the leftmost
      {u"X FOO BAR", 1, 2, false, 1, 0},  // the tail starts with a space: an empty word
      {u"X FOO", 1, 3, false, 2, 3},      // the last token runs to the piece end,
      {u"X FOO\r\nY", 1, 3, false, 2, 5},          // its CR included, so its LF too
      {u"0123456789\r\nAB", 1, 50, false, 10, 2},  // beyond the line: its last character, the CR
      {u"A\r\nB\r\n", 3, 0, false, 6, 0},          // the empty last line after a closing line break
      {u"A\r\nB\r\n", 3, 1, false, 4, 2},          // its last character is the LF before it
      {u"", 1, 0, false, 0, 0},
      {u"A\r\nB\r\nCD", 0, 0, true, 0, 0},
      {u"A\r\nB\r\nCD", 5, 0, true, 3, 0},
      {u"A\r\nB\r\nCD", INT_MAX, 0, true, 0, 0},  // INT_MAX - 1 steps, a multiple of 3
      {u"A\r\nB\r\nCD", 4, 2, true, 4, 3},        // a token request changes nothing else
      {u"A\r\nB\r\n", 8, 0, true, 6, 0},  // the search stops at the end of a text ending with LF
      {u"", 2, 0, true, 0, 0},
  };
  HeadlessEditSurface& surface = widgets.surface();
  for (const auto& [text, line, startPos, fails, start, length] : cases) {
    SCOPED_TRACE(toUtf8(text) + " line " + std::to_string(line));
    load(text);
    surface.setHideSelection(true);
    surface.setSelStart(4);
    surface.setSelLength(3);
    Variant result;
    EXPECT_EQ(testing::errorNumberOf([&] { result = highlight(line, startPos); }),
              fails ? err::kSubscript : 0);
    EXPECT_TRUE(result.isEmpty());
    EXPECT_EQ(std::make_pair(surface.selStart(), surface.selLength()),
              std::make_pair(start, length));
    EXPECT_FALSE(surface.hideSelection());
  }
}

TEST_F(HighlightLineTest, RepaintsTheGutterUnlessTheColumnIsBeyondTheLine) {
  load(u"0123456789\r\nAB");
  highlight(2, 1);
  EXPECT_EQ(gutterCaretLine(), "2");
  highlight(1, 50);
  EXPECT_EQ(gutterCaretLine(), "2");
  highlight(1, 0);
  EXPECT_EQ(gutterCaretLine(), "1");
}

}  // namespace
}  // namespace tavi
