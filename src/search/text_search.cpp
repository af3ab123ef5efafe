#include "search/text_search.h"

#include "shell/widgets/edit_surface.h"

namespace tavi {

SearchPattern::SearchPattern(TextView what, int options)
    : folded_(what),
      border_(what.size(), 0),
      matchCase_((options & kFindMatchCase) != 0),
      wholeWord_((options & kFindWholeWord) != 0) {
  for (char16_t& c : folded_) c = fold(c);
  for (size_t i = 1, k = 0; i < folded_.size(); ++i) {
    while (k > 0 && folded_[i] != folded_[k]) k = static_cast<size_t>(border_[k - 1]);
    if (folded_[i] == folded_[k]) ++k;
    border_[i] = static_cast<int32_t>(k);
  }
}

template <typename Found>
int32_t SearchPattern::scan(TextView range, Found found) const {
  const size_t m = folded_.size();
  if (m == 0 || range.size() < m) return -1;
  size_t k = 0;  // units of the pattern matched so far
  for (size_t i = 0; i < range.size(); ++i) {
    const char16_t c = fold(range[i]);
    while (k > 0 && c != folded_[k]) k = static_cast<size_t>(border_[k - 1]);
    if (c == folded_[k]) ++k;
    if (k < m) continue;
    const auto start = static_cast<int32_t>(i + 1 - m);
    if (found(start)) return start;
    k = static_cast<size_t>(border_[m - 1]);
  }
  return -1;
}

int32_t SearchPattern::firstIn(TextView range, char16_t before, char16_t after) const {
  const auto n = static_cast<int32_t>(range.size());
  const int32_t m = length();
  return scan(range, [&](int32_t start) {
    if (!wholeWord_) return true;
    const char16_t left = start > 0 ? range[start - 1] : before;
    const char16_t right = start + m < n ? range[start + m] : after;
    return !isWordChar(left) && !isWordChar(right);
  });
}

int32_t SearchPattern::lastIn(TextView range) const {
  int32_t last = -1;
  scan(range, [&last](int32_t start) {
    last = start;
    return false;
  });
  return last;
}

}  // namespace tavi
