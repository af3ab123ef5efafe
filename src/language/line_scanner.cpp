#include "language/line_scanner.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "shell/control.h"

namespace tavi {

namespace {

int32_t clampTo(int64_t value, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

namespace {

// Lines are tens of thousands of characters long at times: the CR is looked for sixteen
// units at a time, four to a 64-bit word (a word holds a CR when one of its 16-bit lanes is
// zero after an exclusive-or with CR in every lane).
constexpr int32_t kBlock = 16;

bool blockHasCR(const char16_t* units) {
  constexpr uint64_t kCRs = 0x000D000D000D000DULL, kOnes = 0x0001000100010001ULL,
                     kHighs = 0x8000800080008000ULL;
  uint64_t found = 0;
  for (int32_t k = 0; k < kBlock; k += 4) {
    uint64_t word;
    std::memcpy(&word, units + k, sizeof word);
    const uint64_t x = word ^ kCRs;
    found |= (x - kOnes) & ~x & kHighs;
  }
  return found != 0;
}

// The first CR in [from, n), or n.
int32_t nextCR(TextView text, int32_t from) {
  const auto n = static_cast<int32_t>(text.size());
  while (from + kBlock <= n && !blockHasCR(text.data() + from)) from += kBlock;
  while (from < n && text[from] != kCR) ++from;
  return from;
}

// The last CR in [0, to), or -1.
int32_t previousCR(TextView text, int32_t to) {
  while (to >= kBlock && !blockHasCR(text.data() + to - kBlock)) to -= kBlock;
  while (to > 0 && text[to - 1] != kCR) --to;
  return to - 1;
}

}  // namespace

bool lineBoundsAt(TextView text, int32_t p, int32_t& lineStart, int32_t& limitEnd) {
  const int32_t n = static_cast<int32_t>(text.size());
  if (n == 0) return false;
  // Back from p - 1 to the CR before the line; the line starts after its LF.
  const int32_t cr = previousCR(text, std::clamp(p, 0, n));
  const int32_t start = cr < 0 ? 0 : cr + 2;
  // On from p - 1 to the CR that ends the line, or the text's end.
  const int32_t end = nextCR(text, p > 0 ? std::min(p, n + 1) - 1 : 0);
  lineStart = start;
  // Every line but the first carries the LF before it. A caret between CR and LF finds
  // the line end before its start: the line text is then empty.
  const int32_t from = start == 0 ? 0 : start - 1;
  limitEnd = start + std::max(end - from, 0);
  return true;
}

bool lineAt(TextView text, int32_t p, int32_t& lineStart, Text& lineText) {
  lineText.clear();
  int32_t limitEnd = 0;
  if (!lineBoundsAt(text, p, lineStart, limitEnd)) return false;
  lineText.assign(text.substr(lineStart == 0 ? 0 : lineStart - 1, limitEnd - lineStart));
  return true;
}

void GetLineAt(TaviColorText& control, int32_t p, int32_t& lineStart, Text& lineText) {
  lineText.clear();
  const Text text = control.widgets().editor->text();
  lineAt(text, p, lineStart, lineText);
  control.module().m_bTextChanged = false;
}

KeywordHits::KeywordHits(TextView text, int32_t from, int32_t to, KeywordScanner& keywords)
    : KeywordHits(text, keywords.scan(text, from, to), keywords.trie()) {
  fileByKeyword();
}

KeywordHits::KeywordHits(TextView text, int32_t from, int32_t to, const KeywordTrie& keywords)
    : KeywordHits(text, {}, keywords) {
  keywords.forEachWholeWord(text, from, to, to, [this](int32_t start, int32_t k) {
    byStart_.push_back({start, k});
  });
  fileByKeyword();
}

KeywordHits::KeywordHits(TextView text, std::vector<Hit> byStart, const KeywordTrie& keywords)
    : textLength_(static_cast<int32_t>(text.size())), byStart_(std::move(byStart)) {
  for (int32_t k = 0; k < keywords.keywordCount(); ++k) lengths_.push_back(keywords.length(k));
}

void KeywordHits::fileByKeyword() {
  const int32_t count = keywordCount();
  offsets_.assign(count + 1, 0);
  for (const Hit& h : byStart_) ++offsets_[h.keyword + 1];
  for (int32_t k = 0; k < count; ++k) offsets_[k + 1] += offsets_[k];
  starts_.resize(byStart_.size());
  std::vector<int32_t> next(offsets_.begin(), offsets_.end() - 1);
  for (const Hit& h : byStart_) starts_[next[h.keyword]++] = h.start;
}

std::span<const int32_t> KeywordHits::starts(int32_t k) const {
  return std::span<const int32_t>(starts_).subspan(offsets_[k], offsets_[k + 1] - offsets_[k]);
}

int32_t KeywordHits::first(int32_t k, int32_t start, int32_t end) const {
  const int32_t from = clampTo(start, 0, textLength_);
  const int32_t to = clampTo(end, from, textLength_);
  // Occurrences of one keyword share a length: the first one from `from` on either fits
  // before `to` or none does.
  const std::span<const int32_t> all = starts(k);
  const auto s = std::lower_bound(all.begin(), all.end(), from);
  return s != all.end() && *s + lengths_[k] <= to ? *s : -1;
}

void keywordSpan(const KeywordHits& hits, int32_t p, int32_t lineStart, int32_t limitEnd,
                 int32_t& spanStart, int32_t& spanEnd) {
  int32_t lo = lineStart;
  int32_t hi = limitEnd;
  int32_t hiLen = 0;
  // Only each keyword's first occurrence in each half counts.
  for (int32_t k = 0; k < hits.keywordCount(); ++k) {
    const int32_t f = hits.first(k, lineStart, p);
    if (f >= 0 && f >= lo) lo = f;
    const int32_t g = hits.first(k, p, limitEnd);
    if (g >= 0 && g <= hi) {
      hi = g;
      hiLen = std::max(hiLen, hits.length(k));
    }
  }
  spanStart = lo;
  spanEnd = hi + hiLen;
}

void FindKeywordSpan(TaviColorText& control, int32_t p, int32_t lineStart, const Text& lineText,
                     int32_t& spanStart, int32_t& spanEnd) {
  const Widgets& w = control.widgets();
  const int32_t limitEnd = lineStart + static_cast<int32_t>(lineText.size());
  w.editor->setHideSelection(true);
  const Text text = w.editor->text();
  const KeywordHits hits(text, std::min(lineStart, p), std::max(limitEnd, p), control.keywords());
  keywordSpan(hits, p, lineStart, limitEnd, spanStart, spanEnd);

  // The editor's find leaves the last match it met selected: that of the last keyword
  // found, after the caret if it was found there.
  for (int32_t k = hits.keywordCount() - 1; k >= 0; --k) {
    int32_t at = hits.first(k, p, limitEnd);
    if (at < 0) at = hits.first(k, lineStart, p);
    if (at < 0) continue;
    w.editor->setSelStart(at);
    w.editor->setSelLength(hits.length(k));
    break;
  }
}

}  // namespace tavi
