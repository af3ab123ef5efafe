// Colouring many lines at once (ColourAll, Text put with ColourOnLoad): the colours that
// ColorLine gives line by line, and nothing outside those lines. The extensions_colour
// scenario shows the selection, the journal and the events left alone.
#include <algorithm>
#include <vector>

#include "language/colouring.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr int32_t kGreen = 0x00FF00;

// A keyword at offset 0 and at a line's end, overlapping keywords, keywords inside words
// and in lower case, an empty line, a tab, and an empty last line.
const Text kScript =
    u"IF A THEN\r\n\r\nIDLE AGENT COUNT(x) > 0 QUIT\r\nif IFX WAIT\r\n\tEND IF\r\n";

class ColourLinesTest : public testing::ControlFixture {
 protected:
  // kScript on the surface, painted green so that what a routine leaves alone shows.
  void loadGreen() {
    load(kScript);
    HeadlessEditSurface& s = widgets.surface();
    s.setSelStart(0);
    s.setSelLength(s.textLength());
    s.setSelColor(kGreen);
    s.setSelBold(false);
    s.setSelStart(0);
  }
  // What ColorLine gives run on each line from the line of `from` to the line of `to`.
  std::vector<FormatRun> lineByLine(int32_t from, int32_t to) {
    loadGreen();
    HeadlessEditSurface& s = widgets.surface();
    const int32_t last = s.lineFromChar(std::max(from, to));
    for (int32_t line = s.lineFromChar(std::min(from, to)); line <= last; ++line) {
      int32_t p = s.lineStart(line);
      ColorLine(control, p);
    }
    return s.formats();
  }
};

TEST_F(ColourLinesTest, GivesTheLineColouringOfEveryLineTouchedAndLeavesTheRest) {
  const int32_t n = static_cast<int32_t>(kScript.size());
  struct Case {
    int32_t from;
    int32_t to;
  };
  // (With colouring off, the reset to black: the extensions_colour scenario.)
  const Case cases[] = {
      {.from = 0, .to = n},    // the whole text
      {.from = 14, .to = 44},  // the IDLE AGENT line to the if line
      {.from = 20, .to = 20},  // within one line
      {.from = 44, .to = 14},  // the ends in either order
      {.from = n, .to = n},    // the empty last line
  };
  control.m_bKeywordHighlight = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << ".." << c.to);
    const std::vector<FormatRun> want = lineByLine(c.from, c.to);
    loadGreen();
    ColourLines(control, c.from, c.to);
    EXPECT_EQ(widgets.surface().formats(), want);
  }
  loadGreen();
  ColourLines(control, 0, n);
  EXPECT_EQ(
      marked(),
      u"[IF] A [THEN]\r\n\r\n[IDLE AGENT COUNT](x) > 0 [QUIT]\r\nif IFX [WAIT]\r\n\t[END IF]\r\n");
}

}  // namespace
}  // namespace tavi
