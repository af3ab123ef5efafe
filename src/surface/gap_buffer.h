// A sequence with a movable hole: the storage of the headless editing surface. Edits at
// the hole cost only their own size, and moving the hole costs the distance it moves, so
// a run of edits walking forward through a long text stays linear in the text's length.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavi {

template <typename T>
class GapBuffer {
 public:
  int32_t size() const { return static_cast<int32_t>(data_.size() - gapSize()); }

  const T& operator[](int32_t i) const { return data_[physical(i)]; }
  T& operator[](int32_t i) { return data_[physical(i)]; }

  // Replaces [at, at + removed) by the `count` elements at `src`.
  void replace(int32_t at, int32_t removed, const T* src, size_t count) {
    T* hole = openHole(at, removed, count);
    std::copy(src, src + count, hole);
  }
  // Replaces [at, at + removed) by `count` copies of `fill`.
  void replace(int32_t at, int32_t removed, size_t count, const T& fill) {
    T* hole = openHole(at, removed, count);
    std::fill(hole, hole + count, fill);
  }

  // [from, from + count) as one contiguous span. The hole is moved, to whichever end is
  // nearer, only when it lies inside the stretch.
  std::span<const T> contiguous(int32_t from, int32_t count) {
    const size_t begin = static_cast<size_t>(from);
    const size_t end = begin + static_cast<size_t>(count);
    if (begin < gapBegin_ && end > gapBegin_)
      moveGapTo(gapBegin_ - begin <= end - gapBegin_ ? begin : end);
    return {data_.data() + (begin < gapBegin_ ? begin : begin + gapSize()),
            static_cast<size_t>(count)};
  }

  // Calls f(element) for each of [from, from + count) in order, in place: the hole stays.
  template <typename F>
  void forEach(int32_t from, int32_t count, F f) {
    const size_t begin = static_cast<size_t>(from);
    const size_t end = begin + static_cast<size_t>(count);
    T* const p = data_.data();
    for (size_t i = begin; i < std::min(end, gapBegin_); ++i) f(p[i]);
    for (size_t i = std::max(begin, gapBegin_); i < end; ++i) f(p[i + gapSize()]);
  }

  // Appends [from, from + count) to `out` (a string or a vector).
  template <typename Out>
  void appendTo(Out& out, int32_t from, int32_t count) const {
    const size_t begin = static_cast<size_t>(from);
    const size_t end = begin + static_cast<size_t>(count);
    if (begin < gapBegin_) {
      const T* p = data_.data();
      out.insert(out.end(), p + begin, p + std::min(end, gapBegin_));
    }
    if (end > gapBegin_) {
      const T* p = data_.data() + gapSize();
      out.insert(out.end(), p + std::max(begin, gapBegin_), p + end);
    }
  }

 private:
  size_t gapSize() const { return gapEnd_ - gapBegin_; }
  size_t physical(int32_t i) const {
    const size_t p = static_cast<size_t>(i);
    return p < gapBegin_ ? p : p + gapSize();
  }

  void moveGapTo(size_t at) {
    if (at < gapBegin_) {
      const size_t n = gapBegin_ - at;
      std::move_backward(data_.begin() + at, data_.begin() + gapBegin_, data_.begin() + gapEnd_);
      gapBegin_ -= n;
      gapEnd_ -= n;
    } else if (at > gapBegin_) {
      const size_t n = at - gapBegin_;
      std::move(data_.begin() + gapEnd_, data_.begin() + gapEnd_ + n, data_.begin() + gapBegin_);
      gapBegin_ += n;
      gapEnd_ += n;
    }
  }

  // Removes [at, at + removed) and returns room for `count` new elements at `at`.
  T* openHole(int32_t at, int32_t removed, size_t count) {
    moveGapTo(static_cast<size_t>(at));
    gapEnd_ += static_cast<size_t>(removed);
    if (gapSize() < count) grow(count);
    T* hole = data_.data() + gapBegin_;
    gapBegin_ += count;
    return hole;
  }

  // Doubles the storage at least, so that inserting is amortised constant per element.
  void grow(size_t count) {
    const size_t used = data_.size() - gapSize();
    const size_t capacity = std::max(data_.size() * 2, used + count + kMinimumGap);
    std::vector<T> grown(capacity);
    std::move(data_.begin(), data_.begin() + gapBegin_, grown.begin());
    const size_t tailSize = data_.size() - gapEnd_;
    std::move(data_.begin() + gapEnd_, data_.end(), grown.end() - tailSize);
    gapEnd_ = capacity - tailSize;
    data_ = std::move(grown);
  }

  static constexpr size_t kMinimumGap = 64;

  std::vector<T> data_;
  size_t gapBegin_ = 0;
  size_t gapEnd_ = 0;
};

}  // namespace tavi
