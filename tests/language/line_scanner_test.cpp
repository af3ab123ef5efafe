#include "language/line_scanner.h"

#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

class LineScannerTest : public testing::ControlFixture {
 protected:
  void replaceText(TextView text) {
    widgets.surface().setSelStart(0);
    widgets.surface().setSelLength(widgets.surface().textLength());
    load(text);
  }
};

TEST_F(LineScannerTest, LineOfACaretCarriesTheLineFeedBeforeIt) {
  const std::tuple<Text, int32_t, int32_t, Text> cases[] = {
      {u"AB\r\nCD", 0, 0, u"AB"},
      {u"AB\r\nCD", 2, 0, u"AB"},  // the end of a line belongs to it
      {u"AB\r\nCD", 3, 4, u""},    // between CR and LF: an empty line
      {u"AB\r\nCD", 4, 4, u"\nCD"},
      {u"AB\r\nCD", 6, 4, u"\nCD"},
      {u"AB\r\nCD", 60, 4, u"\nCD"},  // beyond the text: the last line
      {u"IF\r\n", 4, 4, u"\n"},       // after a closing line break: an empty last line
      {u"", 0, 42, u""},              // an empty text keeps the start passed in
  };
  for (const auto& [text, p, wantStart, wantLine] : cases) {
    replaceText(text);
    int32_t start = 42;
    Text line = u"junk";
    control.module().m_bTextChanged = true;
    GetLineAt(control, p, start, line);
    EXPECT_EQ(std::tie(start, line), std::tie(wantStart, wantLine)) << toUtf8(text) << " " << p;
    EXPECT_FALSE(control.module().m_bTextChanged);
  }
}

TEST_F(LineScannerTest, SpanReachesFromTheKeywordBeforeTheCaretToTheOneAfter) {
  const std::tuple<Text, int32_t, int32_t, int32_t> cases[] = {
      {u"IF x THEN QUIT", 4, 0, 9},     // QUIT, met first, sets the length; THEN the end: 5 + 4
      {u"IF x THEN QUIT", 14, 10, 14},  // QUIT lies before the caret
      // Without keywords: the line up to its limit, the line end + 1 after the first line.
      {u"x = 1\r\nif y then z\r\nw", 10, 7, 19},
      {u"x = 1\r\nif y then z\r\nw", 21, 20, 22},
      {u"IF a IF b | c THEN d THEN", 11, 0, 18},  // the first occurrence in each half
  };
  for (const auto& [text, p, wantStart, wantEnd] : cases) {
    replaceText(text);
    int32_t lineStart = 0, start = -1, end = -1;
    Text line;
    GetLineAt(control, p, lineStart, line);
    FindKeywordSpan(control, p, lineStart, line, start, end);
    EXPECT_EQ(std::tie(start, end), std::tie(wantStart, wantEnd)) << toUtf8(text) << " " << p;
  }
}

}  // namespace
}  // namespace tavi
