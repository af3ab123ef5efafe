#include "history/change.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace tavi {
namespace {

// The comparison written out with one-based positions, step by step, as a second opinion.
ChangeResult referenceChange(const Text& a, const Text& b) {
  const int32_t la = static_cast<int32_t>(a.size()), lb = static_cast<int32_t>(b.size());
  const int32_t m = std::min(la, lb);
  auto charOf = [](const Text& s, int32_t pos) { return s[pos - 1]; };
  auto mid = [](const Text& s, int32_t pos, int32_t n) { return s.substr(pos - 1, n); };
  int32_t i = 1;
  while (i <= m && charOf(a, i) == charOf(b, i)) ++i;
  const int32_t start = i - 1;
  if (i > m) return {i <= la ? mid(a, i, la - i + 1) : Text(), start, lb - i + 1};
  int32_t j = la, k = lb;
  while (j >= 1 && k >= 1 && charOf(a, j) == charOf(b, k)) --j, --k;
  const int32_t j1 = j + 1, k1 = k + 1;
  if (k1 > i && j1 >= i) return {mid(a, i, j1 - i), start, k1 - i};
  if (k1 <= i && j1 >= i) {
    const Text result = mid(a, i, j1 - k1);
    return {result, start, std::abs(static_cast<int32_t>(result.size()) - std::abs(la - lb))};
  }
  return {Text(), start, k1 - j1};
}

void expectChange(TextView oldstr, TextView newstr, TextView removed, int32_t start,
                  int32_t changeNum) {
  const ChangeResult r = change(oldstr, newstr);
  EXPECT_EQ(r.removed, removed);
  EXPECT_EQ(r.start, start);
  EXPECT_EQ(r.changeNum, changeNum);
}

TEST(Change, DocumentedExamples) {
  expectChange(u"ABC", u"ABCX", u"", 3, 1);
  expectChange(u"ABCX", u"ABC", u"X", 3, 0);
  expectChange(u"ABCDEF", u"ABxEF", u"CD", 2, 1);
  expectChange(u"ab", u"aab", u"", 1, 1);
  expectChange(u"aab", u"ab", u"a", 1, 0);
  expectChange(u"ABCDE", u"ABCDE", u"", 5, 0);
  expectChange(u"", u"", u"", 0, 0);
  expectChange(u"", u"xy", u"", 0, 2);
  expectChange(u"xy", u"", u"xy", 0, 0);
  expectChange(u"abc", u"ABC", u"abc", 0, 3);  // case counts
}

TEST(Change, TrailingMatchReachingIntoLeadingOneOfOldText) {
  // Deleting a space from a run of spaces: the count comes out negative.
  expectChange(u"   x", u"  x", u"", 2, -1);
  expectChange(u"aaaaa x", u"aaa x", u"", 3, -2);
}

// Checks the one relation the history relies on: the old text with `removed` (at `start`)
// replaced by the `changeNum` new characters at `start` is the new text. A negative count
// only arises for a shorter new text; deleting -changeNum old characters at `start` then
// gives the new text.
void checkRelation(const Text& a, const Text& b) {
  SCOPED_TRACE("old " + testing::PrintToString(a) + " new " + testing::PrintToString(b));
  const ChangeResult r = change(a, b);
  const ChangeResult ref = referenceChange(a, b);
  ASSERT_EQ(r.removed, ref.removed);
  ASSERT_EQ(r.start, ref.start);
  ASSERT_EQ(r.changeNum, ref.changeNum);
  Text rebuilt = a;
  if (r.changeNum >= 0) {
    ASSERT_EQ(a.compare(r.start, r.removed.size(), r.removed), 0);
    rebuilt.replace(r.start, r.removed.size(), b.substr(r.start, r.changeNum));
  } else {
    ASSERT_TRUE(r.removed.empty());
    ASSERT_EQ(r.changeNum, static_cast<int32_t>(b.size()) - static_cast<int32_t>(a.size()));
    rebuilt.erase(r.start, -r.changeNum);
  }
  ASSERT_EQ(rebuilt, b);
}

TEST(Change, RandomPairsOverSmallAlphabets) {
  std::mt19937 rng(20240607);
  const Text alphabet = u"ab \r\n";
  auto randomText = [&](size_t maxLength, size_t letters) {
    Text s(rng() % (maxLength + 1), u' ');
    for (char16_t& c : s) c = alphabet[rng() % letters];
    return s;
  };
  for (int n = 0; n < 3000; ++n) {
    const size_t letters = 2 + n % 4;
    // Unrelated texts.
    checkRelation(randomText(8, letters), randomText(8, letters));
    // A text and an edit of it, as the journal sees them.
    const Text a = randomText(12, letters);
    const size_t at = rng() % (a.size() + 1);
    const size_t cut = rng() % (a.size() - at + 1);
    Text b = a;
    b.replace(at, cut, randomText(3, letters));
    checkRelation(a, b);
    checkRelation(b, a);
  }
}

}  // namespace
}  // namespace tavi
