// The one translation between the control's offsets, where a line break is CR LF and
// counts twice, and positions in a QTextDocument, where each line is a block and one
// separator stands between two blocks. A control offset between CR and LF has no
// document position of its own; the caller says which side of the separator it wants.
#pragma once

#include <QTextDocument>

#include <cstdint>

#include "shell/text.h"

namespace tavi::qt {

enum class BreakSide {
  kBefore,  // the end of the line, before the separator
  kAfter,   // the start of the next line
};

class OffsetMap {
 public:
  explicit OffsetMap(const QTextDocument& document) : doc_(document) {}

  // Length of the text in control offsets.
  int32_t length() const;
  // Control offset of a document position.
  int32_t toOffset(int position) const;
  // Document position of a control offset, clamped to the text.
  int toPosition(int32_t offset, BreakSide side) const;
  // A control range [start, start + length) as a document range that covers it; a line
  // break of which the range holds only one half is covered whole.
  void toRange(int32_t start, int32_t length, int& from, int& to) const;
  // Line (block) of a control offset, clamped to the text.
  int32_t lineOf(int32_t offset) const;
  // Control offset of the start of a line.
  int32_t lineStart(int32_t line) const;

  // The whole text with CR LF line breaks.
  Text text() const;

 private:
  const QTextDocument& doc_;
};

}  // namespace tavi::qt
