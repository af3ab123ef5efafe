// Where the caret keys take the selection, written once for every platform's editor: Left
// and Right by units (a CR LF pair and a surrogate pair are one unit), Ctrl+Left and
// Ctrl+Right by word stops, Up and Down by a goal column in code units, Home and End,
// Ctrl+Home and Ctrl+End, and Page Up and Page Down by the rows in view; and how a range
// set by a program is widened to whole units.
//
// `Lines` is the editor's text as the keys read it:
//   int32_t textLength() const;  char16_t at(int32_t offset) const;
//   int32_t lineCount() const;   int32_t lineFromChar(int32_t offset) const;
//   int32_t lineStart(int32_t line) const;  int32_t lineEnd(int32_t line) const;  (before CR LF)
// The platform asks for the move and then sets the selection and scrolls as it says.
#pragma once

#include <algorithm>
#include <cstdint>

#include "shell/keys.h"
#include "shell/text.h"
#include "shell/word_stops.h"

namespace tavi {

// The text's units by index, as the word stops read them.
template <typename Lines>
struct UnitsOf {
  const Lines& lines;
  char16_t operator[](int32_t offset) const { return lines.at(offset); }
};

// Whether [offset, offset + 2) is one unit of two code units: CR LF or a surrogate pair.
template <typename Lines>
bool isPairAt(const Lines& text, int32_t offset) {
  if (offset < 0 || offset + 1 >= text.textLength()) return false;
  const char16_t first = text.at(offset);
  const char16_t second = text.at(offset + 1);
  return (first == kCR && second == kLF) || (isHighSurrogate(first) && isLowSurrogate(second));
}

// One unit back / forward from `offset`; at the text's start / end it stays.
template <typename Lines>
int32_t previousUnit(const Lines& text, int32_t offset) {
  if (offset <= 0) return 0;
  return isPairAt(text, offset - 2) ? offset - 2 : offset - 1;
}

template <typename Lines>
int32_t nextUnit(const Lines& text, int32_t offset) {
  if (offset >= text.textLength()) return text.textLength();
  return isPairAt(text, offset) ? offset + 2 : offset + 1;
}

// [start, end) widened to whole units, for every editor's setSelStart, setSelLength and find:
// a start inside a unit goes to the unit's start, an end inside one to its end. An empty
// range is a caret and stays one, before the unit (it holds no character to widen to).
struct UnitRange {
  int32_t start = 0;
  int32_t end = 0;
};

template <typename Lines>
UnitRange wholeUnitRange(const Lines& text, int32_t start, int32_t end) {
  const int32_t from = isPairAt(text, start - 1) ? start - 1 : start;
  if (end <= start) return {from, from};
  return {from, isPairAt(text, end - 1) ? end + 1 : end};
}

// The offset `column` units into `line`, clamped to its text and never inside a surrogate
// pair (a column inside one lands before it).
template <typename Lines>
int32_t positionOnLine(const Lines& text, int32_t line, int32_t column) {
  const int32_t start = text.lineStart(line);
  const int32_t p = start + std::clamp(column, 0, text.lineEnd(line) - start);
  return isPairAt(text, p - 1) ? p - 1 : p;
}

// A caret key as the editor received it.
struct CaretKey {
  int16_t keyCode = 0;  // vk::kLeft ... vk::kDown, vk::kHome, vk::kEnd, vk::kPrior, vk::kNext
  bool extend = false;  // Shift: the anchor stays
  bool ctrl = false;
};

// What the key does: the new selection, and for Page Up and Page Down the rows by which the
// view scrolls (negative: up), clamped by the view itself.
struct CaretMove {
  int32_t anchor = 0;
  int32_t active = 0;
  int32_t scrollRows = 0;
};

// The move of `key` from the selection [anchor, active]. `goalColumn` is the column a run
// of vertical moves keeps (-1 outside one): taken at the run's first key, kept through it,
// and -1 again after any other key. The editor also sets it to -1 whenever the selection
// changes otherwise. `rowsPerPage` is the whole rows in view, at least 1.
//
// Ctrl+Left and Ctrl+Right move from the active end of a selection; Left and Right without
// Shift first collapse it to its start / end.
template <typename Lines>
CaretMove caretMove(const Lines& text, int32_t anchor, int32_t active, CaretKey key,
                    int32_t rowsPerPage, int32_t& goalColumn) {
  const int16_t k = key.keyCode;
  const bool horizontal = k == vk::kLeft || k == vk::kRight;
  if (horizontal && !key.extend && !key.ctrl && anchor != active) {
    const int32_t p = k == vk::kLeft ? std::min(anchor, active) : std::max(anchor, active);
    goalColumn = -1;
    return {p, p, 0};
  }
  const int32_t length = text.textLength();
  const int32_t line = text.lineFromChar(active);
  const int32_t last = text.lineCount() - 1;
  const int32_t rows = std::max(rowsPerPage, 1);
  const int32_t col = goalColumn >= 0 ? goalColumn : active - text.lineStart(line);
  const UnitsOf<Lines> units{text};
  CaretMove move{anchor, active, 0};
  int32_t& target = move.active;
  switch (k) {
    case vk::kLeft:
      target = key.ctrl ? previousWordStop(units, active) : previousUnit(text, active);
      break;
    case vk::kRight:
      target = key.ctrl ? nextWordStop(units, length, active) : nextUnit(text, active);
      break;
    // Beyond the first or the last line: the start or the end of the text.
    case vk::kUp:
      target = line > 0 ? positionOnLine(text, line - 1, col) : 0;
      break;
    case vk::kDown:
      target = line < last ? positionOnLine(text, line + 1, col) : length;
      break;
    case vk::kHome:
      target = key.ctrl ? 0 : text.lineStart(line);
      break;
    case vk::kEnd:
      target = key.ctrl ? length : text.lineEnd(line);
      break;
    // A page of fewer than `rows` lines left: the start or the end of the text.
    case vk::kPrior:
      move.scrollRows = -rows;
      target = line >= rows ? positionOnLine(text, line - rows, col) : 0;
      break;
    case vk::kNext:
      move.scrollRows = rows;
      target = last - line >= rows ? positionOnLine(text, line + rows, col) : length;
      break;
    default:
      break;
  }
  if (!key.extend) move.anchor = target;
  const bool vertical = k == vk::kUp || k == vk::kDown || k == vk::kPrior || k == vk::kNext;
  goalColumn = vertical ? col : -1;
  return move;
}

}  // namespace tavi
