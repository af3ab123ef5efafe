#include "surface/surface_model.h"

#include <algorithm>

#include "search/text_search.h"
#include "shell/keys.h"
#include "shell/widgets/environment.h"
#include "shell/word_stops.h"
#include "surface/caret_moves.h"
#include "surface/editing_keys.h"
#include "surface/insertion.h"
#include "surface/keyboard_clipboard.h"

namespace tavi {

namespace {

int32_t clampTo(int64_t value, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

// ---- The text and its lines ----

Text SurfaceModel::slice(int32_t from, int32_t length) const {
  Text out;
  out.reserve(static_cast<size_t>(length));
  text_.appendTo(out, from, length);
  return out;
}

int32_t SurfaceModel::lineFromChar(int32_t offset) const {
  if (offset < 0) offset = selStart_;
  if (offset >= textLength()) return lineCount() - 1;
  return lines_.lineOf(offset);
}

int32_t SurfaceModel::lineStart(int32_t line) const {
  return lines_.start(clampTo(line, 0, lineCount() - 1));
}

int32_t SurfaceModel::lineEnd(int32_t line) const {
  const int32_t l = clampTo(line, 0, lineCount() - 1);
  return l + 1 < lineCount() ? lines_.start(l + 1) - 2 : textLength();
}

int32_t SurfaceModel::positionOnLine(int32_t line, int32_t column) const {
  const int32_t start = lineStart(line);
  return unitStart(start + std::clamp(column, 0, lineEnd(line) - start));
}

// ---- The selection ----

void SurfaceModel::setSelStart(int32_t start) {
  const int32_t s = clampTo(start, 0, textLength());
  const UnitRange caret = wholeUnitRange(*this, s, s);
  select(caret.start, caret.end, false);
  requestedStart_ = s;
}

// The range begins at the requested start, not at the caret it gave: setSelStart(s) and
// setSelLength(n) select [s, s + n) widened even when s lies inside a unit.
void SurfaceModel::setSelLength(int32_t length) {
  const int32_t from = requestedStart_;
  const int32_t to = from + clampTo(length, 0, textLength() - from);
  const UnitRange range = wholeUnitRange(*this, from, to);
  select(range.start, range.end, false);
  requestedStart_ = from;
}

void SurfaceModel::select(int32_t anchor, int32_t active, bool showActive) {
  selStart_ = std::min(anchor, active);
  selLength_ = std::max(anchor, active) - selStart_;
  requestedStart_ = selStart_;
  activeAtEnd_ = active >= anchor;
  goalColumn_ = -1;
  view_.selectionMoved(showActive ? active : selStart_);
}

// ---- Formats ----

void SurfaceModel::setSelColor(int32_t color) {
  formats_.forEach(selStart_, selLength_, [color](CharFormat& f) { f.color = color; });
}

void SurfaceModel::setSelBold(bool bold) {
  formats_.forEach(selStart_, selLength_, [bold](CharFormat& f) { f.bold = bold; });
}

void SurfaceModel::applyStyleRuns(std::span<const StyleRun> runs) {
  const int32_t n = textLength();
  for (const StyleRun& run : runs) {
    const int32_t from = clampTo(run.start, 0, n);
    const int32_t to = clampTo(int64_t{from} + std::max(run.length, 0), from, n);
    const CharFormat format{run.color, run.bold};
    formats_.forEach(from, to - from, [format](CharFormat& f) { f = format; });
  }
}

std::vector<FormatRun> SurfaceModel::formats(int32_t from, int32_t length) const {
  std::vector<FormatRun> runs;
  const int32_t start = clampTo(from, 0, textLength());
  const int32_t end = clampTo(int64_t{from} + std::max(length, 0), start, textLength());
  for (int32_t i = start; i < end; ++i) {
    const CharFormat& f = formats_[i];
    if (!runs.empty() && runs.back().color == f.color && runs.back().bold == f.bold) {
      ++runs.back().length;
    } else {
      runs.push_back({i, 1, f.color, f.bold});
    }
  }
  return runs;
}

// ---- Edits ----

// The breaks are converted before the text is fitted, so the room counts the CR LF that
// will land, and a cut never keeps half of one.
void SurfaceModel::insertOver(int32_t start, int32_t length, TextView insert, Room room) {
  const int32_t from = unitStart(start);
  const int32_t removed = unitEnd(start + length) - from;
  const Text converted = withCrLfBreaks(insert);
  TextView text = converted;
  if (room == Room::kFitted) text = fittingInsert(text, maxLength_, textLength(), removed);
  if (room == Room::kWholeOrRefused && !typedFits(text.size(), maxLength_, textLength(), removed))
    return;
  if (removed == 0 && text.empty()) return;
  text_.replace(from, removed, text.data(), text.size());
  formats_.replace(from, removed, text.size(), CharFormat{});
  const auto inserted = static_cast<int32_t>(text.size());
  lines_.update(text_, from, removed, inserted);
  lastEdit_ = {lastEdit_.serial + 1, from, removed, inserted};
  const int32_t caret = from + inserted;
  select(caret, caret, false);
  view_.textChanged();
}

void SurfaceModel::typeInput(TextView chars) {
  if (!locked_) insertOver(selStart_, selLength_, chars, Room::kWholeOrRefused);
}

int32_t SurfaceModel::find(TextView what, int32_t start, int32_t end, int options) {
  const int32_t len = textLength();
  const SearchPattern pattern(what, options);
  const int32_t from = clampTo(start, 0, len);
  const int32_t to = end < 0 ? len : clampTo(end, from, len);
  if (pattern.length() == 0 || to - from < pattern.length()) return -1;
  // The range is scanned in place; it is one contiguous stretch of the storage.
  const std::span<const char16_t> range = text_.contiguous(from, to - from);
  const int32_t found =
      pattern.firstIn(TextView(range.data(), range.size()), from > 0 ? text_[from - 1] : u'\0',
                      to < len ? text_[to] : u'\0');
  if (found < 0) return -1;
  const int32_t at = from + found;
  const UnitRange match = wholeUnitRange(*this, at, at + pattern.length());
  select(match.start, match.end, false);
  return at;
}

// ---- A person's keys ----

void SurfaceModel::keyAction(int16_t keyCode, int16_t shift, TextView typed, Clipboard& clipboard) {
  const SurfaceKey key = surfaceKeyOf(keyCode, shift);
  const int32_t caret = selStart_;
  switch (key.command) {
    case SurfaceCommand::Move:
      moveCaret(keyCode, key.extend, key.byWord);
      break;
    case SurfaceCommand::DeleteBack:
      deleteSelectionOr(key.byWord ? previousWordStop(text_, caret) : previousPosition(caret),
                        caret);
      break;
    case SurfaceCommand::DeleteForward:
      deleteSelectionOr(
          caret, key.byWord ? nextWordStop(text_, textLength(), caret) : nextPosition(caret));
      break;
    case SurfaceCommand::Cut:
      byKey([&] { cutSelection(*this, locked_, clipboard); });
      break;
    case SurfaceCommand::Copy:
      byKey([&] { copySelection(*this, clipboard); });
      break;
    case SurfaceCommand::Paste:
      byKey([&] { pasteClipboard(*this, locked_, clipboard); });
      break;
    case SurfaceCommand::SelectAll:
      select(0, textLength(), true);
      break;
    case SurfaceCommand::NewLine:
      typeInput(u"\r\n");
      break;
    case SurfaceCommand::TabOut:
      view_.tabOut();
      break;
    case SurfaceCommand::Type:
      if (!typed.empty()) typeInput(typed);
      break;
    case SurfaceCommand::None:
      break;
  }
}

void SurfaceModel::pasteText(TextView text) {
  if (!locked_) replaceSelection(text);
}

void SurfaceModel::selectWordAt(int32_t offset) {
  const int32_t len = textLength();
  int32_t p = clampTo(offset, 0, len);
  // Past a line's end the click means the unit before it.
  if (p > 0 && (p == len || wordClass(text_[p]) == WordClass::Break)) --p;
  if (p >= len || wordClass(text_[p]) == WordClass::Break) {
    setSelStart(p);
    return;
  }
  const WordClass cls = wordClass(text_[p]);
  int32_t from = p;
  int32_t to = p + 1;
  while (from > 0 && wordClass(text_[from - 1]) == cls) --from;
  while (to < len && wordClass(text_[to]) == cls) ++to;
  select(from, to, true);
}

void SurfaceModel::pressAt(int32_t offset, bool extend) {
  select(extend ? anchorEnd() : offset, offset, true);
}

int32_t SurfaceModel::previousPosition(int32_t offset) const { return previousUnit(*this, offset); }

int32_t SurfaceModel::nextPosition(int32_t offset) const { return nextUnit(*this, offset); }

void SurfaceModel::moveCaret(int16_t keyCode, bool extend, bool ctrl) {
  int32_t goalColumn = goalColumn_;
  const CaretMove move = caretMove(*this, anchorEnd(), activeEnd(), {keyCode, extend, ctrl},
                                   view_.rowsPerPage(), goalColumn);
  if (move.scrollRows != 0) view_.scrollRows(move.scrollRows);
  select(move.anchor, move.active, true);
  goalColumn_ = goalColumn;  // after select(), which ends a run of vertical moves
}

void SurfaceModel::deleteSelectionOr(int32_t from, int32_t to) {
  if (locked_) return;
  if (selLength_ > 0)
    replaceRange(selStart_, selLength_, u"");
  else
    replaceRange(from, to - from, u"");
}

}  // namespace tavi
