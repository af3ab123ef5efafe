// Word scanning and keyword lookup: the caret's line, the whole-word occurrences of the
// vocabulary in a stretch of the editor text, and the keyword span around the caret.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "language/keyword_trie.h"
#include "shell/text.h"

namespace tavi {

class TaviColorText;

// Sets lineStart and lineText for the line that holds (or ends at) position p: lineText is
// the line, preceded by the LF before it for every line but the first. An empty editor
// leaves lineStart as passed and lineText empty. Clears m_bTextChanged.
void GetLineAt(TaviColorText& control, int32_t p, int32_t& lineStart, Text& lineText);

// Given p and GetLineAt's result for it, sets [spanStart, spanEnd): from the last-starting
// first occurrence of a keyword before p (or the line start) to the first-starting
// occurrence after p (or the line limit), extended by the longest keyword length that
// moved or met that end. Sets the editor's hide-selection.
void FindKeywordSpan(TaviColorText& control, int32_t p, int32_t lineStart, const Text& lineText,
                     int32_t& spanStart, int32_t& spanEnd);

// ---- Building blocks shared with the colouring. ----

// GetLineAt on a text already read; false (nothing set) for an empty text.
bool lineAt(TextView text, int32_t p, int32_t& lineStart, Text& lineText);
// The same without copying the line: limitEnd is lineStart plus the length of lineText.
bool lineBoundsAt(TextView text, int32_t p, int32_t& lineStart, int32_t& limitEnd);

// Every whole-word, same-case occurrence of every keyword of the vocabulary that lies within
// a stretch [from, to) of a text. Whether an occurrence is a whole word depends on the real
// neighbouring characters of the text, which may lie outside the stretch.
class KeywordHits {
 public:
  using Hit = KeywordHit;
  // Through the scanner's memory: for the line of a keystroke, scanned again and again.
  KeywordHits(TextView text, int32_t from, int32_t to, KeywordScanner& keywords);
  // In one pass, remembering nothing: for a stretch scanned once (the whole text).
  KeywordHits(TextView text, int32_t from, int32_t to, const KeywordTrie& keywords);

  // Keywords in list order.
  int32_t keywordCount() const { return static_cast<int32_t>(lengths_.size()); }
  int32_t length(int32_t k) const { return lengths_[k]; }
  // Every occurrence, by start.
  std::span<const Hit> byStart() const { return byStart_; }
  // Starts of keyword k's occurrences, ascending.
  std::span<const int32_t> starts(int32_t k) const;
  // The first occurrence of keyword k lying wholly within [start, end) (both clamped to
  // the text the way the editor's find clamps them), or -1. The range must lie within
  // the scanned stretch.
  int32_t first(int32_t k, int32_t start, int32_t end) const;

 private:
  KeywordHits(TextView text, std::vector<Hit> byStart, const KeywordTrie& keywords);
  // Files the occurrences by keyword as well: starts_ and offsets_ from byStart_.
  void fileByKeyword();
  int32_t textLength_;
  std::vector<int32_t> lengths_;
  std::vector<Hit> byStart_;
  std::vector<int32_t> offsets_;  // keyword k's starts are starts_[offsets_[k], offsets_[k+1])
  std::vector<int32_t> starts_;
};

// FindKeywordSpan's rule on occurrences already found; `hits` must cover
// [min(lineStart, p), max(limitEnd, p)).
void keywordSpan(const KeywordHits& hits, int32_t p, int32_t lineStart, int32_t limitEnd,
                 int32_t& spanStart, int32_t& spanEnd);

}  // namespace tavi
