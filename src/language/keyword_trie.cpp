#include "language/keyword_trie.h"

#include <map>

#include "shell/widgets/floating.h"

namespace tavi {

KeywordTrie::KeywordTrie(const KeywordListBox& list) {
  // Built as maps, then laid out flat: the children of a node side by side.
  std::vector<std::map<char16_t, int32_t>> children(1);
  std::vector<std::vector<int32_t>> ending(1);
  for (int32_t k = 0; k < list.listCount(); ++k) {
    const Text keyword = list.item(k);
    lengths_.push_back(static_cast<int32_t>(keyword.size()));
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

}  // namespace tavi
