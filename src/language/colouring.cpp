#include "language/colouring.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "language/line_scanner.h"
#include "shell/control.h"
#include "shell/skip_on_failure.h"

namespace tavi {

namespace {

struct Range {
  int32_t start;
  int32_t end;
};

// The keyword occurrences that a search loop per keyword colours within [from, to): each
// keyword's search starts at `from` and goes on behind its previous match. Keywords that
// overlap (IDLE AGENT inside IDLE AGENT COUNT) get the same colour, so overlapping ranges
// are merged and each character is coloured once. Taken in order of start, the ranges
// merge as they come.
std::vector<Range> keywordRanges(const KeywordHits& hits, int32_t from, int32_t to) {
  std::vector<int32_t> next(static_cast<size_t>(hits.keywordCount()), from);
  std::vector<Range> merged;
  for (const KeywordHits::Hit& h : hits.byStart()) {
    const int32_t end = h.start + hits.length(h.keyword);
    if (h.start < next[h.keyword] || end > to) continue;
    next[h.keyword] = end;
    if (!merged.empty() && h.start < merged.back().end)
      merged.back().end = std::max(merged.back().end, end);
    else
      merged.push_back({h.start, end});
  }
  return merged;
}

void paint(EditSurface& editor, int32_t start, int32_t length, bool keyword) {
  editor.setSelStart(start);
  editor.setSelLength(length);
  editor.setSelColor(keyword ? kColorKeyword : kColorPlain);
  editor.setSelBold(keyword);
}

// The runs, in text order and covering [resetFrom, resetTo), of plain text and of the
// keyword ranges (which lie within it).
std::vector<StyleRun> plainAndKeywordRuns(int32_t resetFrom, int32_t resetTo,
                                          const std::vector<Range>& keywords) {
  std::vector<StyleRun> runs;
  runs.reserve(keywords.size() * 2 + 1);
  int32_t at = resetFrom;
  for (const Range& r : keywords) {
    if (r.start > at) runs.push_back({at, r.start - at, kColorPlain, false});
    runs.push_back({r.start, r.end - r.start, kColorKeyword, true});
    at = r.end;
  }
  if (resetTo > at) runs.push_back({at, resetTo - at, kColorPlain, false});
  return runs;
}

}  // namespace

void ColorLine(TaviColorText& control, int32_t& p) {
  const Widgets& w = control.widgets();
  EditSurface& editor = *w.editor;
  ModuleState& module = control.module();

  control.m_bTrackChanges = false;
  const Text text = editor.text();
  int32_t lineStart = 0;
  Text lineText;
  lineAt(text, p, lineStart, lineText);
  module.m_bTextChanged = false;
  const int32_t lineLength = static_cast<int32_t>(lineText.size());
  const int32_t limitEnd = lineStart + lineLength;

  editor.setHideSelection(true);
  // The LF before the line (if any), the line and its CR.
  paint(editor, lineStart == 0 ? 0 : lineStart - 1, lineLength + 1, false);
  if (control.m_bKeywordHighlight) {
    const KeywordHits hits(text, lineStart, limitEnd, control.keywords());
    for (const Range& r : keywordRanges(hits, lineStart, limitEnd))
      paint(editor, r.start, r.end - r.start, true);
  }

  editor.setSelStart(p);
  if (!module.m_bLoadFlag) editor.setFocus();
  module.m_bTextChanged = false;
  control.m_bTrackChanges = true;
}

void ColorSpan(TaviColorText& control, int32_t& p) {
  const Widgets& w = control.widgets();
  EditSurface& editor = *w.editor;

  // One read of the text serves the line, the span and the keyword search.
  Text text;
  int32_t lineStart = 0;
  int32_t limitEnd = 0;
  skipOnFailure([&] {
    text = editor.text();
    lineBoundsAt(text, p, lineStart, limitEnd);
    control.module().m_bTextChanged = false;
  });

  // The span never leaves the stretch scanned here, so one scan serves both.
  int32_t spanStart = 0;
  int32_t spanEnd = 0;
  std::optional<KeywordHits> hits;
  skipOnFailure([&] {
    editor.setHideSelection(true);
    hits.emplace(text, std::min(lineStart, p), std::max(limitEnd, p), control.keywords());
    keywordSpan(*hits, p, lineStart, limitEnd, spanStart, spanEnd);
  });

  // The span reset to plain with its keywords blue and bold, in one call: a long line holds
  // thousands of keywords. The span lies on the caret's line, so the view scrolls as it
  // would for each step in turn.
  skipOnFailure([&] { editor.setHideSelection(true); });
  skipOnFailure([&] { editor.setSelStart(spanStart); });
  skipOnFailure([&] { editor.setSelLength(spanEnd - spanStart); });
  skipOnFailure([&] { editor.setFocus(); });
  // What is reset is the selection, which the editor widens to whole line breaks where the
  // span ends on a line's CR.
  skipOnFailure([&] {
    const std::vector<Range> keywords =
        hits ? keywordRanges(*hits, spanStart, spanEnd) : std::vector<Range>();
    const int32_t from = editor.selStart();
    editor.applyStyleRuns(plainAndKeywordRuns(from, from + editor.selLength(), keywords));
  });
  skipOnFailure([&] { editor.setHideSelection(true); });

  skipOnFailure([&] { editor.setSelStart(p); });
  skipOnFailure([&] { editor.setHideSelection(true); });
  skipOnFailure([&] { editor.setFocus(); });
}

void ColourLines(TaviColorText& control, int32_t from, int32_t to) {
  const Widgets& w = control.widgets();
  EditSurface& editor = *w.editor;
  const Text text = editor.text();
  // The first and the last line as ColorLine finds them; an empty text has none.
  int32_t firstStart = 0;
  int32_t lastStart = 0;
  Text lineText;
  if (!lineAt(text, std::min(from, to), firstStart, lineText)) return;
  lineAt(text, std::max(from, to), lastStart, lineText);
  // ColorLine's limit of the last line: its end, plus one for the CR (and the LF
  // before the line counted in its text) on every line but the first.
  const int32_t limitEnd = lastStart + static_cast<int32_t>(lineText.size());
  const int32_t n = static_cast<int32_t>(text.size());
  // As ColorLine resets each line with the LF before it and the CR after it, which the
  // editor's selection widens to the whole line breaks.
  int32_t resetFrom = firstStart == 0 ? 0 : firstStart - 1;
  int32_t resetTo = std::min(n, lastStart == 0 ? limitEnd + 1 : limitEnd);
  if (resetFrom > 0 && formsOneUnit(text[resetFrom - 1], text[resetFrom])) --resetFrom;
  if (resetTo > 0 && resetTo < n && formsOneUnit(text[resetTo - 1], text[resetTo])) ++resetTo;

  std::vector<Range> keywords;
  if (control.m_bKeywordHighlight) {
    const KeywordHits hits(text, firstStart, limitEnd, control.keywords().trie());
    keywords = keywordRanges(hits, firstStart, limitEnd);
  }
  const std::vector<StyleRun> runs = plainAndKeywordRuns(resetFrom, resetTo, keywords);

  const bool wasTracking = control.m_bTrackChanges;
  const bool wasHidden = editor.hideSelection();
  const int32_t selStart = editor.selStart();
  const int32_t selLength = editor.selLength();
  control.m_bTrackChanges = false;
  editor.setHideSelection(true);
  editor.applyStyleRuns(runs);
  editor.setSelStart(selStart);
  editor.setSelLength(selLength);
  editor.setHideSelection(wasHidden);
  control.m_bTrackChanges = wasTracking;
}

}  // namespace tavi
