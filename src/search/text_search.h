// The editor's find rule, once for every platform: a search text found in a stretch of the
// editor text, with or without case, optionally as a whole word (letters, digits and "_"
// decide, as everywhere in the control). Both directions are linear in the stretch and the
// search text (Knuth-Morris-Pratt on case-folded units), whatever the text holds.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/text.h"

namespace tavi {

class SearchPattern {
 public:
  // Options: kFindMatchCase, kFindWholeWord.
  SearchPattern(TextView what, int options);

  int32_t length() const { return static_cast<int32_t>(folded_.size()); }

  // The first match lying wholly within `range`, as an offset into it, or -1. `before` and
  // `after` are the text's characters just outside the range (0 at the text's ends): a
  // whole word is judged by its real neighbours.
  int32_t firstIn(TextView range, char16_t before = 0, char16_t after = 0) const;

  // The last match lying wholly within `range`, or -1. Whole words are not checked: the
  // upward search takes every occurrence.
  int32_t lastIn(TextView range) const;

 private:
  char16_t fold(char16_t c) const { return matchCase_ ? c : upperCase(c); }
  // Calls `found(start)` for every match in `range` in order, overlapping ones too, until it
  // returns true; returns that start or -1.
  template <typename Found>
  int32_t scan(TextView range, Found found) const;

  Text folded_;
  std::vector<int32_t> border_;  // border_[i]: longest proper border of folded_[0, i]
  bool matchCase_;
  bool wholeWord_;
};

}  // namespace tavi
