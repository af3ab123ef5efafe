#include "language/keyword_trie.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>

#include "shell/widgets/floating.h"

namespace tavi {

namespace {

// Stretches are compared a block at a time (memcmp is vectorised), then unit by unit in
// the block that differs.
constexpr int32_t kBlock = 256;

// How many of the `count` units from a and from b are the same.
int32_t sameFromStart(const char16_t* a, const char16_t* b, int32_t count) {
  int32_t same = 0;
  while (count - same >= kBlock && std::memcmp(a + same, b + same, kBlock * sizeof(char16_t)) == 0)
    same += kBlock;
  while (same < count && a[same] == b[same]) ++same;
  return same;
}

// How many of the `count` units before aEnd and before bEnd are the same.
int32_t sameFromEnd(const char16_t* aEnd, const char16_t* bEnd, int32_t count) {
  int32_t same = 0;
  while (count - same >= kBlock &&
         std::memcmp(aEnd - same - kBlock, bEnd - same - kBlock, kBlock * sizeof(char16_t)) == 0)
    same += kBlock;
  while (same < count && aEnd[-same - 1] == bEnd[-same - 1]) ++same;
  return same;
}

}  // namespace

KeywordTrie::KeywordTrie(const KeywordListBox& list) {
  // Built as maps, then laid out flat: the children of a node side by side.
  std::vector<std::map<char16_t, int32_t>> children(1);
  std::vector<std::vector<int32_t>> ending(1);
  for (int32_t k = 0; k < list.listCount(); ++k) {
    const Text keyword = list.item(k);
    lengths_.push_back(static_cast<int32_t>(keyword.size()));
    longest_ = std::max(longest_, lengths_.back());
    if (keyword.empty()) continue;
    int32_t node = 0;
    for (const char16_t unit : keyword) {
      const auto [at, added] =
          children[node].try_emplace(unit, static_cast<int32_t>(children.size()));
      if (added) {
        children.emplace_back();
        ending.emplace_back();
      }
      node = at->second;
    }
    ending[node].push_back(k);
  }
  nodes_.resize(children.size());
  for (size_t node = 0; node < children.size(); ++node) {
    Node& flat = nodes_[node];
    flat.firstEdge = static_cast<int32_t>(edges_.size());
    flat.edgeCount = static_cast<int32_t>(children[node].size());
    for (const auto& [unit, child] : children[node]) edges_.push_back({unit, child});
    flat.firstKeyword = static_cast<int32_t>(keywordsAt_.size());
    flat.keywordCount = static_cast<int32_t>(ending[node].size());
    keywordsAt_.insert(keywordsAt_.end(), ending[node].begin(), ending[node].end());
  }
  asciiFromRoot_.fill(kNone);
  for (const auto& [unit, child] : children[0])
    if (unit < 128) asciiFromRoot_[unit] = child;
}

std::vector<KeywordHit> KeywordScanner::scan(TextView text, int32_t from, int32_t to) {
  const auto n = static_cast<int32_t>(text.size());
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  Text stretch;
  stretch.reserve(static_cast<size_t>(to - from) + 2);
  stretch += from > 0 ? text[from - 1] : u'\0';
  stretch += text.substr(from, to - from);
  stretch += to < n ? text[to] : u'\0';
  const auto size = static_cast<int32_t>(stretch.size());
  const auto oldSize = static_cast<int32_t>(stretch_.size());

  // Where the two stretches read the same: a common start of `same` units and a common
  // end of `sameEnd` units, not overlapping in either.
  const int32_t common = std::min(size, oldSize);
  const int32_t same = sameFromStart(stretch.data(), stretch_.data(), common);
  const int32_t sameEnd =
      sameFromEnd(stretch.data() + size, stretch_.data() + oldSize, common - same);
  const int32_t shift = size - oldSize;
  // An occurrence with its neighbours inside the common start, or inside the common end,
  // is the same in both.
  const auto inStart = [&](const KeywordHit& h) {
    return h.start + trie_.length(h.keyword) < same;
  };
  const auto inEnd = [&](const KeywordHit& h, int32_t length) {
    return h.start - 1 >= length - sameEnd;
  };

  std::vector<KeywordHit> startKept, walked, endKept;
  for (const KeywordHit& h : hits_) {
    if (inStart(h))
      startKept.push_back(h);
    else if (inEnd(h, oldSize))
      endKept.push_back({h.start + shift, h.keyword});
  }
  // The rest start no earlier than the longest keyword before the common start ends, and
  // no later than just inside the common end.
  trie_.forEachWholeWord(stretch, std::max(1, same - trie_.longest()), size - 1, size - sameEnd + 1,
                         [&](int32_t start, int32_t k) {
                           const KeywordHit h{start, k};
                           if (!inStart(h) && !inEnd(h, size)) walked.push_back(h);
                         });
  const auto before = [this](const KeywordHit& a, const KeywordHit& b) {
    if (a.start != b.start) return a.start < b.start;
    const int32_t la = trie_.length(a.keyword), lb = trie_.length(b.keyword);
    return la != lb ? la < lb : a.keyword < b.keyword;
  };
  std::vector<KeywordHit> merged;
  merged.reserve(startKept.size() + walked.size());
  std::merge(startKept.begin(), startKept.end(), walked.begin(), walked.end(),
             std::back_inserter(merged), before);
  hits_.clear();
  std::merge(merged.begin(), merged.end(), endKept.begin(), endKept.end(),
             std::back_inserter(hits_), before);
  stretch_ = std::move(stretch);
  std::vector<KeywordHit> hits = hits_;
  for (KeywordHit& h : hits) h.start += from - 1;
  return hits;
}

}  // namespace tavi
