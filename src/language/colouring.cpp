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
// are merged and each character is coloured once.
std::vector<Range> keywordRanges(const KeywordHits& hits, int32_t from, int32_t to) {
  std::vector<Range> ranges;
  for (int32_t k = 0; k < hits.keywordCount(); ++k) {
    const int32_t length = hits.length(k);
    int32_t next = from;
    for (const int32_t s : hits.starts(k)) {
      if (s < next) continue;
      if (s + length > to) break;
      ranges.push_back({s, s + length});
      next = s + length;
    }
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const Range& a, const Range& b) { return a.start < b.start; });
  std::vector<Range> merged;
  for (const Range& r : ranges) {
    if (!merged.empty() && r.start < merged.back().end)
      merged.back().end = std::max(merged.back().end, r.end);
    else
      merged.push_back(r);
  }
  return merged;
}

void paint(EditSurface& editor, int32_t start, int32_t length, bool keyword) {
  editor.setSelStart(start);
  editor.setSelLength(length);
  editor.setSelColor(keyword ? kColorKeyword : kColorPlain);
  editor.setSelBold(keyword);
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
    const KeywordHits hits(text, lineStart, limitEnd, *w.list);
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
  Text lineText;
  skipOnFailure([&] {
    text = editor.text();
    lineAt(text, p, lineStart, lineText);
    control.module().m_bTextChanged = false;
  });
  const int32_t limitEnd = lineStart + static_cast<int32_t>(lineText.size());

  // The span never leaves the stretch scanned here, so one scan serves both.
  int32_t spanStart = 0;
  int32_t spanEnd = 0;
  std::optional<KeywordHits> hits;
  skipOnFailure([&] {
    editor.setHideSelection(true);
    hits.emplace(text, std::min(lineStart, p), std::max(limitEnd, p), *w.list);
    keywordSpan(*hits, p, lineStart, limitEnd, spanStart, spanEnd);
  });

  skipOnFailure([&] { editor.setHideSelection(true); });
  skipOnFailure([&] { editor.setSelStart(spanStart); });
  skipOnFailure([&] { editor.setSelLength(spanEnd - spanStart); });
  skipOnFailure([&] { editor.setSelColor(kColorPlain); });
  skipOnFailure([&] { editor.setSelBold(false); });
  skipOnFailure([&] { editor.setFocus(); });

  if (hits) {
    for (const Range& r : keywordRanges(*hits, spanStart, spanEnd)) {
      skipOnFailure([&] { editor.setHideSelection(true); });
      skipOnFailure([&] { editor.setSelStart(r.start); });
      skipOnFailure([&] { editor.setSelLength(r.end - r.start); });
      skipOnFailure([&] { editor.setSelColor(kColorKeyword); });
      skipOnFailure([&] { editor.setSelBold(true); });
    }
  }
  skipOnFailure([&] { editor.setHideSelection(true); });

  skipOnFailure([&] { editor.setSelStart(p); });
  skipOnFailure([&] { editor.setHideSelection(true); });
  skipOnFailure([&] { editor.setFocus(); });
}

}  // namespace tavi
