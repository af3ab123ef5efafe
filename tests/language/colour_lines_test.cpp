// Colouring many lines at once (ColourAll, Text put with ColourOnLoad): the colours that
// ColorLine gives line by line, nothing outside those lines, and no trace in the
// selection, the journals or the host's events.
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
    bool highlight;
  };
  const Case cases[] = {
      {.from = 0, .to = n, .highlight = true},    // the whole text
      {.from = 14, .to = 44, .highlight = true},  // the IDLE AGENT line to the if line
      {.from = 20, .to = 20, .highlight = true},  // within one line
      {.from = 44, .to = 14, .highlight = true},  // the ends in either order
      {.from = n, .to = n, .highlight = true},    // the empty last line
      {.from = 0, .to = n, .highlight = false},   // colouring off: only the reset
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << ".." << c.to << " " << c.highlight);
    control.m_bKeywordHighlight = c.highlight;
    const std::vector<FormatRun> want = lineByLine(c.from, c.to);
    loadGreen();
    ColourLines(control, c.from, c.to);
    EXPECT_EQ(widgets.surface().formats(), want);
  }
  control.m_bKeywordHighlight = true;
  loadGreen();
  ColourLines(control, 0, n);
  EXPECT_EQ(
      marked(),
      u"[IF] A [THEN]\r\n\r\n[IDLE AGENT COUNT](x) > 0 [QUIT]\r\nif IFX [WAIT]\r\n\t[END IF]\r\n");
}

TEST_F(ColourLinesTest, ColourAllLeavesSelectionJournalsAndEventsAsTheyWere) {
  control.m_bKeywordHighlight = true;
  load(kScript);
  control.putLoad_flag(Variant::fromBool(false));
  HeadlessEditSurface& s = widgets.surface();
  widgets.focus(FocusPlace::kAway);
  s.setHideSelection(false);
  s.setSelStart(3);
  s.setSelLength(5);
  const int undo = control.m_colUndo.count();
  sink.events.clear();

  EXPECT_TRUE(invoke("ColourAll", MemberKind::Method).value.isEmpty());
  EXPECT_EQ(marked().substr(0, 13), u"[IF] A [THEN]");
  EXPECT_EQ(s.selStart(), 3);
  EXPECT_EQ(s.selLength(), 5);
  EXPECT_FALSE(s.hideSelection());
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_EQ(control.m_colUndo.count(), undo);
  EXPECT_EQ(control.m_colRedo.count(), 0);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(s.hasFocus()) << "like ColorLine once the host has loaded";
}

TEST_F(ColourLinesTest, TextPutWithColourOnLoadColoursTheLinesItWentInto) {
  struct Case {
    bool colourOnLoad;
    bool highlight;
    Text want;
  };
  // "IF A\r\nB THEN" goes in at the caret 5 of "x IF \r\nEND IF\r\nWAIT" painted green
  // ({...}): the two lines it went into are coloured (with the CR after them, as ColorLine
  // resets it), the lines after are left alone.
  const Case cases[] = {
      {.colourOnLoad = true,
       .highlight = true,
       .want = u"x [IF] [IF] A\r\nB [THEN]\r{\nEND IF\r\nWAIT}"},
      {.colourOnLoad = true,
       .highlight = false,
       .want = u"{x IF }IF A\r\nB THEN{\r\nEND IF\r\nWAIT}"},
      {.colourOnLoad = false,
       .highlight = true,
       .want = u"{x IF }IF A\r\nB THEN{\r\nEND IF\r\nWAIT}"},
  };
  HeadlessEditSurface& s = widgets.surface();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.colourOnLoad << " " << c.highlight);
    load(u"x IF \r\nEND IF\r\nWAIT");
    s.setSelStart(0);
    s.setSelLength(s.textLength());
    s.setSelColor(kGreen);
    s.setSelBold(false);
    s.setSelStart(5);
    control.ColourOnLoad = c.colourOnLoad;
    control.m_bKeywordHighlight = c.highlight;
    control.putText(Variant::fromString(u"IF A\nB THEN"));
    EXPECT_EQ(marked(), c.want);
    EXPECT_EQ(s.selStart(), 0) << "the caret as Text put leaves it (m_bFirstTime)";
  }
}

}  // namespace
}  // namespace tavi
