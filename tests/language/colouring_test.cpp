#include "language/colouring.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "language/line_scanner.h"
#include "language/vocabulary.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr int32_t kGreen = 0x00FF00;
constexpr int kWholeWordMatchCase = kFindWholeWord | kFindMatchCase;

void paint(EditSurface& surface, int32_t start, int32_t length, int32_t color, bool bold) {
  surface.setSelStart(start);
  surface.setSelLength(length);
  surface.setSelColor(color);
  surface.setSelBold(bold);
}

// Replaces the whole text, painted green so that every character a routine leaves alone shows.
void loadGreen(TaviColorText& control, HeadlessEditSurface& surface, const Text& text) {
  surface.setSelStart(0);
  surface.setSelLength(surface.textLength());
  control.putText(Variant::fromString(text));
  paint(surface, 0, surface.textLength(), kGreen, false);
}

using ColouringTest = testing::ControlFixture;

// What the person sees; the selection, focus and flags each routine leaves are compared with
// those of plain search loops below.
TEST_F(ColouringTest, KeywordsBlueBoldAndTheRestOfTheLineOrSpanPlain) {
  // Text, caret, ColorSpan rather than ColorLine, colouring on, and the formats left.
  const std::tuple<Text, int32_t, bool, bool, Text> cases[] = {
      // Punctuation ends a keyword; keywords inside words stay plain (lower case: see the
      // typing scenario).
      {u"(IF)=QUIT,THEN/*ELSE*/ _IF IF1 \u00C9IF", 6, false, true,
       u"([IF])=[QUIT],[THEN]/*[ELSE]*/ _IF IF1 \u00C9IF"},
      // The line breaks before and after the line are reset as well (the reset starts on the
      // LF and ends on the CR, and a selection takes whole breaks).
      {u"A\r\nIF B THEN\r\nC", 5, false, true, u"{A}\r\n[IF] B [THEN]\r\n{C}"},
      {u"A\r\nIF B", 5, false, false, u"{A}\r\nIF B"},  // colouring off: the line is only reset
      {u"IF x THEN QUIT", 4, true, true, u"[IF] x [THEN]{ QUIT}"},
  };
  HeadlessEditSurface& s = widgets.surface();
  for (const auto& [text, caret, span, highlight, want] : cases) {
    SCOPED_TRACE(toUtf8(text));
    loadGreen(control, s, text);
    control.m_bKeywordHighlight = highlight;
    int32_t p = caret;
    span ? ColorSpan(control, p) : ColorLine(control, p);
    EXPECT_EQ(marked(), want);
  }
}

// A keyword at offset 0 and at a line's end, overlapping keywords, keywords inside words
// and in lower case, an empty line, a tab, and an empty last line.
const Text kScript =
    u"IF A THEN\r\n\r\nIDLE AGENT COUNT(x) > 0 QUIT\r\nif IFX WAIT\r\n\tEND IF\r\n";

// Colouring many lines at once (ColourAll, Text put with ColourOnLoad) gives the colours
// that ColorLine gives line by line, and nothing outside those lines. The extensions_colour
// scenario shows the selection, the journal and the events left alone.
TEST_F(ColouringTest, ColourLinesGivesTheLineColouringOfEveryLineTouchedAndLeavesTheRest) {
  HeadlessEditSurface& s = widgets.surface();
  // What ColorLine gives run on each line from the line of `from` to the line of `to`.
  const auto lineByLine = [&](int32_t from, int32_t to) {
    loadGreen(control, s, kScript);
    const int32_t last = s.lineFromChar(std::max(from, to));
    for (int32_t line = s.lineFromChar(std::min(from, to)); line <= last; ++line) {
      int32_t p = s.lineStart(line);
      ColorLine(control, p);
    }
    return s.formats();
  };
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
    loadGreen(control, s, kScript);
    ColourLines(control, c.from, c.to);
    EXPECT_EQ(s.formats(), want);
  }
  loadGreen(control, s, kScript);
  ColourLines(control, 0, n);
  EXPECT_EQ(
      marked(),
      u"[IF] A [THEN]\r\n\r\n[IDLE AGENT COUNT](x) > 0 [QUIT]\r\nif IFX [WAIT]\r\n\t[END IF]\r\n");
}

// ---- The fast keyword matcher against plain search loops per keyword with the editor's find.

std::pair<int32_t, int32_t> referenceSpan(TaviColorText& c, int32_t p, int32_t lineStart,
                                          const Text& lineText) {
  EditSurface& editor = *c.widgets().editor;
  const KeywordListBox& list = *c.widgets().list;
  const int32_t limitEnd = lineStart + static_cast<int32_t>(lineText.size());
  int32_t lo = lineStart, hi = limitEnd, hiLen = 0;
  editor.setHideSelection(true);
  for (int32_t k = 0; k < list.listCount(); ++k) {
    const Text keyword = list.item(k);
    const int32_t f = editor.find(keyword, lineStart, p, kWholeWordMatchCase);
    if (f >= 0 && f >= lo) lo = f;
    const int32_t g = editor.find(keyword, p, limitEnd, kWholeWordMatchCase);
    if (g >= 0 && g <= hi) {
      hi = g;
      hiLen = std::max(hiLen, static_cast<int32_t>(keyword.size()));
    }
  }
  return {lo, hi + hiLen};
}

void referenceKeywords(TaviColorText& c, int32_t from, int32_t to) {
  EditSurface& editor = *c.widgets().editor;
  for (int32_t k = 0; k < c.widgets().list->listCount(); ++k) {
    const Text keyword = c.widgets().list->item(k);
    for (int32_t s = from; s < to;) {
      editor.setHideSelection(true);
      const int32_t f = editor.find(keyword, s, to, kWholeWordMatchCase);
      if (f < 0) break;
      paint(editor, f, static_cast<int32_t>(keyword.size()), kColorKeyword, true);
      s = f + static_cast<int32_t>(keyword.size());
    }
    editor.setHideSelection(true);
  }
}

// ColorLine, or ColorSpan when `span` is set, as plain search loops.
void referenceColouring(TaviColorText& c, int32_t p, bool span) {
  EditSurface& editor = *c.widgets().editor;
  if (!span) c.m_bTrackChanges = false;
  int32_t lineStart = 0;
  Text lineText;
  GetLineAt(c, p, lineStart, lineText);
  const int32_t lineEnd = lineStart + static_cast<int32_t>(lineText.size());
  const auto [from, to] =
      span ? referenceSpan(c, p, lineStart, lineText) : std::pair(lineStart, lineEnd);
  editor.setHideSelection(true);
  if (span) {
    paint(editor, from, to - from, kColorPlain, false);
    editor.setFocus();
  } else {
    paint(editor, lineStart == 0 ? 0 : lineStart - 1, lineEnd - lineStart + 1, kColorPlain, false);
  }
  if (span || c.m_bKeywordHighlight) referenceKeywords(c, from, to);
  editor.setSelStart(p);
  if (span) {
    editor.setHideSelection(true);
    editor.setFocus();
  } else {
    if (!c.module().m_bLoadFlag) editor.setFocus();
    c.module().m_bTextChanged = false;
    c.m_bTrackChanges = true;
  }
}

// Lines of vocabulary entries, pieces of them, lower-case words, words that contain a
// keyword, punctuation and blanks.
Text randomScript(std::mt19937& rng) {
  static const std::vector<Text> kOthers = {
      u"IDLE", u"AGENT", u"COUNT", u"CALL",     u"FORWARD",  u"END",       u"TO",  u"IF",
      u"THEN", u"if",    u"then",  u"quit",     u"x",        u"skill_set", u"IFX", u"XIF",
      u"IF_",  u"_IF",   u"IF1",   u"ASSIGNED", u"\u00C9IF", u"(",         u")",   u",",
      u"=",    u"/*",    u"*/",    u"\"",       u"."};
  static const Text kGaps[] = {u" ", u" ", u" ", u"  ", u"\t", u""};
  const auto vocabulary = keywordsInLoadOrder();
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  Text text;
  const size_t lines = 1 + pick(pick(4) == 0 ? 60 : 4);
  for (size_t l = 0; l < lines; ++l) {
    if (l > 0) text += u"\r\n";
    for (size_t t = pick(9); t > 0; --t) {
      text +=
          pick(2) == 0 ? Text(vocabulary[pick(vocabulary.size())]) : kOthers[pick(kOthers.size())];
      text += kGaps[pick(6)];
    }
  }
  return text;
}

// Each routine starts from the same random text, formats, selection, scroll position and
// flags, once for the control and once for the reference loops, and must leave the same
// formats, selection, scroll position, focus and flags.
TEST_F(ColouringTest, RandomScriptsColourAsTheSearchLoopsDo) {
  widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight / 4);
  control.resize();
  HeadlessEditSurface& s = widgets.surface();
  using Outcome = std::tuple<std::vector<FormatRun>, int32_t, int32_t, int32_t, bool, bool, bool,
                             bool, std::pair<int32_t, int32_t>>;
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    const Text text = randomScript(rng);
    const int32_t n = static_cast<int32_t>(text.size());
    auto offset = [&] { return std::uniform_int_distribution<int32_t>(0, n)(rng); };
    const int32_t p = offset();
    for (int routine = 0; routine < 3; ++routine) {
      const int32_t a = offset(), b = offset(), top = offset() % 40;
      const bool hide = rng() % 2, track = rng() % 2, highlight = rng() % 5, loading = rng() % 2;
      Outcome outcomes[2];
      std::string shown;
      for (const bool fast : {true, false}) {
        loadGreen(control, s, text);
        paint(s, std::min(a, b), std::abs(a - b), kColorKeyword, true);
        s.setSelStart(b);
        s.setSelLength(a - b);
        s.setHideSelection(hide);
        s.scrollTo(top);
        control.m_bTrackChanges = track;
        control.m_bKeywordHighlight = highlight;
        control.module().m_bLoadFlag = loading;
        control.module().m_bTextChanged = true;
        widgets.focus(FocusPlace::kAway);
        int32_t at = p, lineStart = 0;
        std::pair<int32_t, int32_t> span{-1, -1};
        Text lineText;
        if (routine < 2) {
          if (fast) routine == 0 ? ColorLine(control, at) : ColorSpan(control, at);
          if (!fast) referenceColouring(control, at, routine == 1);
        } else {
          GetLineAt(control, p, lineStart, lineText);
          if (fast) FindKeywordSpan(control, p, lineStart, lineText, span.first, span.second);
          if (!fast) span = referenceSpan(control, p, lineStart, lineText);
        }
        outcomes[fast ? 0 : 1] = std::tuple(
            s.formats(), s.selStart(), s.selLength(), s.firstVisibleLine(), s.hideSelection(),
            s.hasFocus(), control.module().m_bTextChanged, control.m_bTrackChanges, span);
        shown += "\n " + toUtf8(marked());
      }
      ASSERT_TRUE(outcomes[0] == outcomes[1])
          << "routine " << routine << " text \"" << toUtf8(text) << "\" caret " << p << shown;
    }
  }
}

}  // namespace
}  // namespace tavi
