#include "language/line_scanner.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "shell/control.h"

namespace tavi {

namespace {

int32_t clampTo(int64_t value, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

bool lineAt(TextView text, int32_t p, int32_t& lineStart, Text& lineText) {
  lineText.clear();
  const int32_t n = static_cast<int32_t>(text.size());
  if (n == 0) return false;

  // Back from p - 1 to the CR before the line; the line starts after its LF.
  int32_t start = 0;
  for (int32_t j = std::min(p, n) - 1; j >= 0; --j) {
    if (text[j] == kCR) {
      start = j + 2;
      break;
    }
  }
  // On from p - 1 to the CR that ends the line, or the text's end.
  int32_t end = n;
  for (int32_t j = p > 0 ? p - 1 : 0; j < n; ++j) {
    if (text[j] == kCR) {
      end = j;
      break;
    }
  }

  lineStart = start;
  // Every line but the first carries the LF before it. A caret between CR and LF finds
  // the line end before its start: the line text is then empty.
  const int32_t from = start == 0 ? 0 : start - 1;
  if (end > from) lineText.assign(text.substr(from, end - from));
  return true;
}

void GetLineAt(TaviColorText& control, int32_t p, int32_t& lineStart, Text& lineText) {
  lineText.clear();
  const Text text = control.widgets().editor->text();
  lineAt(text, p, lineStart, lineText);
  control.module().m_bTextChanged = false;
}

KeywordHits::KeywordHits(TextView text, int32_t from, int32_t to, const KeywordListBox& list)
    : textLength_(static_cast<int32_t>(text.size())) {
  const int32_t n = textLength_;
  from = clampTo(from, 0, n);
  to = clampTo(to, from, n);

  const int32_t count = list.listCount();
  std::vector<Text> keywords;
  keywords.reserve(count);
  for (int32_t k = 0; k < count; ++k) keywords.push_back(list.item(k));

  // A whole word can only start where the character before is no word character. The
  // places are grouped by the character there, so that each keyword visits only those
  // that start with its first character: a whole text costs little more than a line.
  std::unordered_map<char16_t, std::vector<int32_t>> boundaries;
  for (const Text& keyword : keywords)
    if (!keyword.empty()) boundaries.try_emplace(keyword[0]);
  bool afterWordChar = from > 0 && isWordChar(text[from - 1]);
  for (int32_t i = from; i < to; ++i) {
    if (!afterWordChar) {
      const auto group = boundaries.find(text[i]);
      if (group != boundaries.end()) group->second.push_back(i);
    }
    afterWordChar = isWordChar(text[i]);
  }

  lengths_.reserve(count);
  offsets_.reserve(count + 1);
  offsets_.push_back(0);
  for (const Text& keyword : keywords) {
    const int32_t m = static_cast<int32_t>(keyword.size());
    lengths_.push_back(m);
    if (m > 0) {
      for (const int32_t i : boundaries.at(keyword[0])) {
        if (i + m > to) break;
        if (text.compare(i, m, keyword) != 0) continue;
        if (i + m < n && isWordChar(text[i + m])) continue;
        starts_.push_back(i);
      }
    }
    offsets_.push_back(static_cast<int32_t>(starts_.size()));
  }
}

std::span<const int32_t> KeywordHits::starts(int32_t k) const {
  return std::span<const int32_t>(starts_).subspan(offsets_[k], offsets_[k + 1] - offsets_[k]);
}

int32_t KeywordHits::first(int32_t k, int32_t start, int32_t end) const {
  const int32_t from = clampTo(start, 0, textLength_);
  const int32_t to = clampTo(end, from, textLength_);
  // Occurrences of one keyword share a length: the first one from `from` on either fits
  // before `to` or none does.
  for (const int32_t s : starts(k)) {
    if (s < from) continue;
    return s + lengths_[k] <= to ? s : -1;
  }
  return -1;
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
  const KeywordHits hits(text, std::min(lineStart, p), std::max(limitEnd, p), *w.list);
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
