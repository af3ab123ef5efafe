// The vocabulary as a trie, built once per control from its keyword list: the whole-word
// occurrences of every keyword in a stretch of text are found in one pass over it, each
// word start walking at most as far as the longest keyword, however many keywords there are.
// KeywordScanner keeps the last stretch it scanned, so that scanning the same line again
// after a keystroke walks only the words around the change.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "shell/text.h"

namespace tavi {

class KeywordListBox;

struct KeywordHit {
  int32_t start;
  int32_t keyword;
  friend bool operator==(const KeywordHit&, const KeywordHit&) = default;
};

class KeywordTrie {
 public:
  KeywordTrie() = default;
  // Keyword k is the list's item k (its sorted order); an empty item never matches.
  explicit KeywordTrie(const KeywordListBox& list);

  int32_t keywordCount() const { return static_cast<int32_t>(lengths_.size()); }
  int32_t length(int32_t k) const { return lengths_[k]; }
  int32_t longest() const { return longest_; }

  // Calls hit(start, k) for every same-case occurrence of every keyword that starts in
  // [from, startsTo), lies within [from, to) of `text` (clamped) and is a whole word there,
  // judged by the real neighbouring characters of the text; in order of start, then of
  // length, then of k.
  template <typename Hit>
  void forEachWholeWord(TextView text, int32_t from, int32_t to, int32_t startsTo, Hit hit) const;

 private:
  static constexpr int32_t kNone = -1;
  struct Node {
    int32_t firstEdge = 0, edgeCount = 0;        // its children in edges_
    int32_t firstKeyword = 0, keywordCount = 0;  // the keywords ending here, in keywordsAt_
  };
  struct Edge {
    char16_t unit;
    int32_t child;
  };
  int32_t child(int32_t node, char16_t unit) const {
    const Node& from = nodes_[node];
    for (int32_t e = from.firstEdge; e < from.firstEdge + from.edgeCount; ++e)
      if (edges_[e].unit == unit) return edges_[e].child;
    return kNone;
  }

  std::vector<Node> nodes_;  // nodes_[0] is the root
  std::vector<Edge> edges_;
  std::vector<int32_t> keywordsAt_;
  std::array<int32_t, 128> asciiFromRoot_{};  // the root's children for ASCII, or kNone
  std::vector<int32_t> lengths_;
  int32_t longest_ = 0;
};

template <typename Hit>
void KeywordTrie::forEachWholeWord(TextView text, int32_t from, int32_t to, int32_t startsTo,
                                   Hit hit) const {
  const auto n = static_cast<int32_t>(text.size());
  const char16_t* const units = text.data();
  to = std::min(to, n);
  startsTo = std::min(startsTo, to);
  int32_t i = std::max(from, 0);
  if (nodes_.empty()) return;
  // A whole word starts where the character before is no word character: the rest of a
  // word the stretch starts in is skipped, and so is the rest of every word after its start.
  if (i > 0 && isWordChar(units[i - 1]))
    while (i < startsTo && isWordChar(units[i])) ++i;
  while (i < startsTo) {
    const char16_t first = units[i];
    for (int32_t node = first < 128 ? asciiFromRoot_[first] : child(0, first), j = i + 1;
         node != kNone; ++j) {
      const Node& here = nodes_[node];
      if (here.keywordCount > 0 && (j == n || !isWordChar(units[j])))
        for (int32_t e = 0; e < here.keywordCount; ++e) hit(i, keywordsAt_[here.firstKeyword + e]);
      node = j < to ? child(node, units[j]) : kNone;
    }
    // The next start: after this character if it is none of a word's, else after the
    // character that ends the word.
    if (isWordChar(first)) {
      ++i;
      while (i < startsTo && isWordChar(units[i])) ++i;
    }
    ++i;
  }
}

// The trie with a memory of the last stretch it scanned. Whether a keyword occurs somewhere
// depends only on the characters from the one before it to the one after it, so what the
// last scan found where the new stretch reads the same (from its start, or from its end)
// is kept, and only the rest is walked again.
class KeywordScanner {
 public:
  KeywordScanner() = default;
  explicit KeywordScanner(const KeywordListBox& list) : trie_(list) {}

  const KeywordTrie& trie() const { return trie_; }

  // Every whole-word occurrence lying within [from, to) of `text`, as forEachWholeWord
  // orders them, with starts as offsets into `text`.
  std::vector<KeywordHit> scan(TextView text, int32_t from, int32_t to);

 private:
  KeywordTrie trie_;
  // The last stretch with the character on each side of it (0 at the text's ends), and its
  // occurrences with starts as indices into it.
  Text stretch_;
  std::vector<KeywordHit> hits_;
};

}  // namespace tavi
