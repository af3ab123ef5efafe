#include "surface/line_index.h"

#include <algorithm>

#include "shell/text.h"

namespace tavi {

int32_t LineIndex::start(int32_t line) const {
  const size_t i = static_cast<size_t>(line);
  return i < gapBegin_ ? starts_[i] : length_ - starts_[i + (gapEnd_ - gapBegin_)];
}

int32_t LineIndex::lineOf(int32_t offset) const {
  const auto before = starts_.begin() + static_cast<std::ptrdiff_t>(gapBegin_);
  const auto it = std::upper_bound(starts_.begin(), before, offset);
  if (it != before) return static_cast<int32_t>(it - starts_.begin()) - 1;
  // Behind the hole the stored distances from the end fall as the starts rise.
  const auto behind = starts_.begin() + static_cast<std::ptrdiff_t>(gapEnd_);
  const int32_t distance = length_ - offset;
  const auto past =
      std::partition_point(behind, starts_.end(), [distance](int32_t d) { return d >= distance; });
  return static_cast<int32_t>(gapBegin_ + static_cast<size_t>(past - behind)) - 1;
}

void LineIndex::moveGapAfter(int32_t offset) {
  while (gapBegin_ > 0 && starts_[gapBegin_ - 1] > offset) {
    starts_[--gapEnd_] = length_ - starts_[--gapBegin_];
  }
  while (gapEnd_ < starts_.size() && length_ - starts_[gapEnd_] <= offset) {
    starts_[gapBegin_++] = length_ - starts_[gapEnd_++];
  }
}

void LineIndex::insertAtGap(int32_t start) {
  if (gapBegin_ == gapEnd_) {
    const size_t tail = starts_.size() - gapEnd_;
    const size_t capacity = std::max<size_t>(starts_.size() * 2, 16);
    std::vector<int32_t> grown(capacity);
    std::copy(starts_.begin(), starts_.begin() + static_cast<std::ptrdiff_t>(gapBegin_),
              grown.begin());
    std::copy(starts_.end() - static_cast<std::ptrdiff_t>(tail), starts_.end(),
              grown.end() - static_cast<std::ptrdiff_t>(tail));
    gapEnd_ = capacity - tail;
    starts_ = std::move(grown);
  }
  starts_[gapBegin_++] = start;
}

void LineIndex::update(const GapBuffer<char16_t>& text, int32_t at, int32_t removed,
                       int32_t inserted) {
  // A line starts behind each CR LF pair. The pairs that touched the replaced stretch
  // (including one reaching into it from either side) are dropped and looked for again;
  // the starts before them stay, those behind them move with the end of the text.
  moveGapAfter(at);
  const int32_t lastTouched = at + removed + 1;
  while (gapEnd_ < starts_.size() && length_ - starts_[gapEnd_] <= lastTouched) ++gapEnd_;
  length_ = text.size();
  const int32_t last = std::min(at + inserted - 1, length_ - 2);
  for (int32_t i = std::max(0, at - 1); i <= last; ++i) {
    if (text[i] == kCR && text[i + 1] == kLF) insertAtGap(i + 2);
  }
}

}  // namespace tavi
