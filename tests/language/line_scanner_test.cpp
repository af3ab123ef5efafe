#include "language/line_scanner.h"

#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

// FindKeywordSpan is checked against plain search loops by the colouring tests.
using LineScannerTest = testing::ControlFixture;

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
    load(text);
    int32_t start = 42;
    Text line = u"junk";
    control.module().m_bTextChanged = true;
    GetLineAt(control, p, start, line);
    EXPECT_EQ(std::tie(start, line), std::tie(wantStart, wantLine)) << toUtf8(text) << " " << p;
    EXPECT_FALSE(control.module().m_bTextChanged);
  }
}

}  // namespace
}  // namespace tavi
