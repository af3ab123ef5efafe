#include "language/colouring.h"

#include <random>
#include <string>

#include "language/line_scanner.h"
#include "language/vocabulary.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr int32_t kGreen = 0x00FF00;

// The text with keyword runs (blue bold) in brackets and runs of any format other than
// keyword or plain in braces.
std::string marked(const HeadlessEditSurface& surface) {
  const Text text = surface.text();
  std::string out;
  for (const FormatRun& run : surface.formats()) {
    const std::string piece = toUtf8(TextView(text).substr(run.start, run.length));
    if (run.color == kColorKeyword && run.bold)
      out += "[" + piece + "]";
    else if (run.color == kColorPlain && !run.bold)
      out += piece;
    else
      out += "{" + piece + "}";
  }
  return out;
}

void paintAll(EditSurface& surface, int32_t start, int32_t length, int32_t color, bool bold) {
  surface.setSelStart(start);
  surface.setSelLength(length);
  surface.setSelColor(color);
  surface.setSelBold(bold);
}

class ColouringTest : public testing::ControlFixture {
 protected:
  ColouringTest() {
    control.m_bKeywordHighlight = true;
    control.module().m_bLoadFlag = true;
  }
  HeadlessEditSurface& surface() { return widgets.surface(); }
  // Loads the text green and regular, so that every character a routine leaves alone shows.
  void loadGreen(TextView text) {
    surface().setSelStart(0);
    surface().setSelLength(surface().textLength());
    load(text);
    paintAll(surface(), 0, surface().textLength(), kGreen, false);
    surface().setSelStart(0);
  }
  std::string line(int32_t p) {
    ColorLine(control, p);
    return marked(surface());
  }
  std::string span(int32_t p) {
    ColorSpan(control, p);
    return marked(surface());
  }
};

TEST_F(ColouringTest, LineColoursKeywordsAndResetsTheRest) {
  loadGreen(u"IF A THEN QUIT if");
  control.module().m_bTextChanged = true;
  EXPECT_EQ(line(6), "[IF] A [THEN] [QUIT] if");
  EXPECT_EQ(surface().selStart(), 6);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_TRUE(surface().hideSelection());
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_FALSE(control.module().m_bTextChanged);
}

TEST_F(ColouringTest, LineCoversTheLineFeedBeforeAndTheCrAfterIt) {
  loadGreen(u"A\r\nIF B THEN\r\nC");
  EXPECT_EQ(line(5), "{A\r}\n[IF] B [THEN]\r{\nC}");
  loadGreen(u"QUIT\r\nA");
  EXPECT_EQ(line(4), "[QUIT]\r{\nA}");  // first line: no LF before it
  loadGreen(u"A\r\nB QUIT");
  EXPECT_EQ(line(4), "{A\r}\nB [QUIT]");  // last line: cut at the text's end
}

TEST_F(ColouringTest, LineAfterAClosingLineBreakIsItsLineFeed) {
  loadGreen(u"IF\r\n");
  EXPECT_EQ(line(4), "{IF\r}\n");
  EXPECT_EQ(surface().selStart(), 4);
}

TEST_F(ColouringTest, OverlappingKeywordsAreAllColoured) {
  loadGreen(u"IDLE AGENT COUNT, IDLE AGENT x, CALL FORWARD BUSY, INTER DIGIT TIMER");
  EXPECT_EQ(line(0),
            "[IDLE AGENT COUNT], [IDLE AGENT] x, [CALL FORWARD BUSY], [INTER DIGIT TIMER]");
}

TEST_F(ColouringTest, LowerCaseAndPartsOfWordsStayPlain) {
  loadGreen(u"if then IFX ASSIGNED _IF IF1 \u00C9IF EXECUTE_ END IFS x");
  EXPECT_EQ(line(0), "if then IFX ASSIGNED _IF IF1 \u00C9IF EXECUTE_ END IFS x");
  loadGreen(u"(IF)=QUIT,THEN/*ELSE*/");
  EXPECT_EQ(line(0), "([IF])=[QUIT],[THEN]/*[ELSE]*/");
}

TEST_F(ColouringTest, LineWithColouringOffOnlyResets) {
  loadGreen(u"IF A");
  control.m_bKeywordHighlight = false;
  EXPECT_EQ(line(1), "IF A");
}

TEST_F(ColouringTest, SpanRecoloursFromTheKeywordBeforeTheCaretToTheOneAfter) {
  loadGreen(u"IF x THEN QUIT");
  widgets.focus(FocusPlace::kAway);
  control.m_bTrackChanges = false;
  EXPECT_EQ(span(4), "[IF] x [THEN]{ QUIT}");
  EXPECT_EQ(surface().selStart(), 4);
  EXPECT_EQ(surface().selLength(), 0);
  EXPECT_TRUE(surface().hideSelection());
  EXPECT_TRUE(surface().hasFocus());
  EXPECT_FALSE(control.m_bTrackChanges);  // left to the caller
}

TEST_F(ColouringTest, SpanOnALineWithoutKeywordsResetsTheLine) {
  loadGreen(u"IF\r\nx = y\r\nQUIT");
  EXPECT_EQ(span(7), "{IF\r\n}x = y\r{\nQUIT}");
}

// ---- The colouring against a plain search loop per keyword with the editor's find. ----

constexpr int kWholeWordMatchCase = kFindWholeWord | kFindMatchCase;

void referenceSpan(TaviColorText& c, int32_t p, int32_t lineStart, const Text& lineText,
                   int32_t& spanStart, int32_t& spanEnd) {
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
  spanStart = lo;
  spanEnd = hi + hiLen;
}

void referenceKeywords(TaviColorText& c, int32_t from, int32_t to) {
  EditSurface& editor = *c.widgets().editor;
  for (int32_t k = 0; k < c.widgets().list->listCount(); ++k) {
    const Text keyword = c.widgets().list->item(k);
    for (int32_t s = from; s < to;) {
      editor.setHideSelection(true);
      const int32_t f = editor.find(keyword, s, to, kWholeWordMatchCase);
      if (f < 0) break;
      paintAll(editor, f, static_cast<int32_t>(keyword.size()), kColorKeyword, true);
      s = f + static_cast<int32_t>(keyword.size());
    }
    editor.setHideSelection(true);
  }
}

void referenceLine(TaviColorText& c, int32_t p) {
  EditSurface& editor = *c.widgets().editor;
  c.m_bTrackChanges = false;
  int32_t lineStart = 0;
  Text lineText;
  GetLineAt(c, p, lineStart, lineText);
  const int32_t n = static_cast<int32_t>(lineText.size());
  editor.setHideSelection(true);
  paintAll(editor, lineStart == 0 ? 0 : lineStart - 1, n + 1, kColorPlain, false);
  if (c.m_bKeywordHighlight) referenceKeywords(c, lineStart, lineStart + n);
  editor.setSelStart(p);
  if (!c.module().m_bLoadFlag) editor.setFocus();
  c.module().m_bTextChanged = false;
  c.m_bTrackChanges = true;
}

void referenceSpanColouring(TaviColorText& c, int32_t p) {
  EditSurface& editor = *c.widgets().editor;
  int32_t lineStart = 0, spanStart = 0, spanEnd = 0;
  Text lineText;
  GetLineAt(c, p, lineStart, lineText);
  referenceSpan(c, p, lineStart, lineText, spanStart, spanEnd);
  editor.setHideSelection(true);
  paintAll(editor, spanStart, spanEnd - spanStart, kColorPlain, false);
  editor.setFocus();
  referenceKeywords(c, spanStart, spanEnd);
  editor.setSelStart(p);
  editor.setHideSelection(true);
  editor.setFocus();
}

// Lines of vocabulary entries, pieces of them, lower-case words, words that contain a
// keyword, punctuation and blanks.
Text randomScript(std::mt19937& rng) {
  static const std::vector<Text> kOthers = {
      u"IDLE", u"AGENT", u"COUNT", u"CALL",     u"FORWARD",  u"END",       u"TO",  u"IF",
      u"THEN", u"if",    u"then",  u"quit",     u"x",        u"skill_set", u"IFX", u"XIF",
      u"IF_",  u"_IF",   u"IF1",   u"ASSIGNED", u"\u00C9IF", u"(",         u")",   u",",
      u"=",    u"/*",    u"*/",    u"\"",       u"."};
  const auto vocabulary = keywordsInLoadOrder();
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  Text text;
  const int lines = 1 + pick(pick(4) == 0 ? 60 : 4);
  for (int l = 0; l < lines; ++l) {
    if (l > 0) text += u"\r\n";
    const int tokens = pick(9);
    for (int t = 0; t < tokens; ++t) {
      text += pick(2) == 0 ? Text(vocabulary[pick(static_cast<int>(vocabulary.size()))])
                           : kOthers[pick(static_cast<int>(kOthers.size()))];
      const int gap = pick(6);
      text += gap < 3 ? u" " : gap == 3 ? u"  " : gap == 4 ? u"\t" : u"";
    }
  }
  return text;
}

class ColouringAgainstReference : public ColouringTest {
 protected:
  ColouringAgainstReference() : other(platform.createControl()), reference(other.widgets()) {
    other.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight / 4);
    widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight / 4);
    reference.resize();
    control.resize();
  }

  // Both editors get the text, a format pattern, a selection and a scroll position.
  void prepare(const Text& text, std::mt19937& rng) {
    for (HeadlessControl* w : {&widgets, &other}) {
      w->surface().setSelStart(0);
      w->surface().setSelLength(w->surface().textLength());
    }
    for (TaviColorText* c : {&control, &reference}) c->putText(Variant::fromString(text));
    const int32_t n = static_cast<int32_t>(text.size());
    std::uniform_int_distribution<int32_t> offset(0, n);
    const int32_t a = offset(rng), b = offset(rng), line = offset(rng) % 40;
    const bool hide = rng() % 2 == 0, track = rng() % 2 == 0, highlight = rng() % 5 != 0;
    control.module().m_bLoadFlag = rng() % 2 == 0;
    for (HeadlessControl* w : {&widgets, &other}) {
      paintAll(w->surface(), 0, n, kGreen, false);
      paintAll(w->surface(), std::min(a, b), std::max(a, b) - std::min(a, b), kColorKeyword, true);
      w->surface().setSelStart(b);
      w->surface().setSelLength(a - b);
      w->surface().setHideSelection(hide);
      w->surface().scrollTo(line);
    }
    for (TaviColorText* c : {&control, &reference}) {
      c->m_bTrackChanges = track;
      c->m_bKeywordHighlight = highlight;
    }
  }

  struct Outcome {
    std::vector<FormatRun> formats;
    int32_t selStart, selLength, firstVisible;
    bool hide, focus, textChanged, trackChanges;
    bool operator==(const Outcome&) const = default;
  };
  Outcome outcome(HeadlessControl& w, TaviColorText& c) {
    const HeadlessEditSurface& s = w.surface();
    return {s.formats(),
            s.selStart(),
            s.selLength(),
            s.firstVisibleLine(),
            s.hideSelection(),
            s.hasFocus(),
            c.module().m_bTextChanged,
            c.m_bTrackChanges};
  }
  template <typename Fast, typename Reference>
  void compare(const Text& text, int32_t p, Fast fast, Reference slow) {
    widgets.focus(FocusPlace::kAway);
    control.module().m_bTextChanged = true;
    fast(p);
    const Outcome got = outcome(widgets, control);
    widgets.focus(FocusPlace::kAway);
    control.module().m_bTextChanged = true;
    slow(p);
    const Outcome want = outcome(other, reference);
    ASSERT_TRUE(got == want) << "text \"" << toUtf8(text) << "\" caret " << p << "\n got  "
                             << marked(widgets.surface()) << "\n want " << marked(other.surface());
  }

  HeadlessControl& other;
  TaviColorText reference;
};

TEST_F(ColouringAgainstReference, RandomScriptsColourAsTheSearchLoopsDo) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    const Text text = randomScript(rng);
    const int32_t p =
        std::uniform_int_distribution<int32_t>(0, static_cast<int32_t>(text.size()))(rng);

    prepare(text, rng);
    compare(
        text, p, [&](int32_t at) { ColorLine(control, at); },
        [&](int32_t at) { referenceLine(reference, at); });

    prepare(text, rng);
    compare(
        text, p, [&](int32_t at) { ColorSpan(control, at); },
        [&](int32_t at) { referenceSpanColouring(reference, at); });

    prepare(text, rng);
    int32_t lineStart = 0, fastStart = 0, fastEnd = 0, slowStart = 0, slowEnd = 0;
    Text lineText;
    GetLineAt(control, p, lineStart, lineText);
    compare(
        text, p,
        [&](int32_t at) { FindKeywordSpan(control, at, lineStart, lineText, fastStart, fastEnd); },
        [&](int32_t at) { referenceSpan(reference, at, lineStart, lineText, slowStart, slowEnd); });
    ASSERT_EQ(std::make_pair(fastStart, fastEnd), std::make_pair(slowStart, slowEnd))
        << toUtf8(text) << " caret " << p;
  }
}

}  // namespace
}  // namespace tavi
