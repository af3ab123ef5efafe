#include "language/highlight_line.h"

#include <algorithm>
#include <vector>

#include "gutter/gutter.h"
#include "shell/control.h"
#include "shell/runtime_error.h"

namespace tavi {

namespace {

// Where the search for a line's start ends: starting at 0, each step moves behind the next
// LF, and a step that finds none goes back to 0, until `steps` steps are done or the
// position reaches the text's end. The walk repeats itself, so it is worked out without
// taking every step (a huge line number would otherwise take billions of them).
int32_t searchedLineStart(const std::vector<int32_t>& pieceStarts, int32_t textLength,
                          int32_t line) {
  const int64_t steps = int64_t{line} - 1;
  if (steps <= 0 || textLength == 0) return 0;
  const int64_t last = static_cast<int64_t>(pieceStarts.size()) - 1;
  // A text that ends with LF: the walk stops at its end.
  if (pieceStarts.back() == textLength) return pieceStarts[std::min(steps, last)];
  return pieceStarts[steps % (last + 1)];
}

// Length of the token at the start of `word`: up to the first delimiter of the table, in
// table order (not the leftmost one), compared without regard to case; -1 when none occurs.
int32_t tokenLength(TextView word, const std::vector<Text>& delimiters) {
  const Text upperWord = upperCase(word);
  for (const Text& delimiter : delimiters) {
    const size_t at = TextView(upperWord).find(upperCase(delimiter));
    if (at != TextView::npos) return static_cast<int32_t>(at);
  }
  return -1;
}

}  // namespace

Variant HighlightLine(TaviColorText& control, int32_t& line, int32_t& startPos) {
  EditSurface& editor = *control.widgets().editor;
  const Text text = editor.text();
  const int32_t textLength = static_cast<int32_t>(text.size());

  // The pieces of the text split at LF: piece i runs from pieceStarts[i] to the next LF
  // (its CR included) or to the text's end.
  std::vector<int32_t> pieceStarts{0};
  for (int32_t i = 0; i < textLength; ++i) {
    if (text[i] == kLF) pieceStarts.push_back(i + 1);
  }
  const int32_t pieceCount = static_cast<int32_t>(pieceStarts.size());
  const int32_t pos = searchedLineStart(pieceStarts, textLength, line);

  editor.setHideSelection(false);
  if (startPos <= 0) editor.setSelStart(pos);
  if (line < 1 || line > pieceCount) throw RuntimeError(err::kSubscript);
  const int32_t pieceEnd = line < pieceCount ? pieceStarts[line] - 1 : textLength;
  const TextView piece = TextView(text).substr(pos, pieceEnd - pos);
  const int32_t pieceLength = static_cast<int32_t>(piece.size());

  if (startPos <= 0) {
    editor.setSelLength(pieceLength);
  } else if (startPos > pieceLength) {
    editor.setSelStart(pos + pieceLength - 1);
    editor.setSelLength(1);
    return Variant();
  } else {
    editor.setSelStart(pos + startPos - 1);
    const TextView tail = piece.substr(startPos - 1);
    const size_t space = tail.find(kSpace);
    const TextView word = tail.substr(0, space);
    int32_t length = tokenLength(word, control.module().m_strDelims);
    if (length < 0) {
      length =
          space == TextView::npos ? pieceLength - startPos + 1 : static_cast<int32_t>(word.size());
    }
    editor.setSelLength(length);
  }

  DrawLineNumbers(control);
  return Variant();
}

}  // namespace tavi
