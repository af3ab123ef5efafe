// The start offsets of the lines of a text whose lines are separated by CR LF pairs, kept
// up to date edit by edit. The starts sit in an array with a hole at the last edit: those
// before the hole are stored as offsets, those behind it as distances from the end of the
// text, which an edit before them leaves unchanged. An edit costs the number of line
// starts between it and the previous edit plus its own size; a query costs a binary search.
#pragma once

#include <cstdint>
#include <vector>

#include "surface/gap_buffer.h"

namespace tavi {

class LineIndex {
 public:
  // At least one line: an empty text has one, starting at 0.
  int32_t count() const { return static_cast<int32_t>(starts_.size() - (gapEnd_ - gapBegin_)); }
  // The start of `line`, which must be a line of the text.
  int32_t start(int32_t line) const;
  // The line holding `offset` (0 <= offset <= the text's length).
  int32_t lineOf(int32_t offset) const;
  // Follows an edit that has replaced [at, at + removed) of the text by `inserted` code
  // units; `text` is the text after the edit.
  void update(const GapBuffer<char16_t>& text, int32_t at, int32_t removed, int32_t inserted);

 private:
  // Moves the hole so that exactly the starts up to `offset` lie before it.
  void moveGapAfter(int32_t offset);
  void insertAtGap(int32_t start);

  std::vector<int32_t> starts_{0};
  size_t gapBegin_ = 1;
  size_t gapEnd_ = 1;
  int32_t length_ = 0;  // of the text, for the starts stored from its end
};

}  // namespace tavi
