#include "history/change.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>

namespace tavi {
namespace {

// The comparison written out with one-based positions, step by step, as a second opinion.
ChangeResult referenceChange(const Text& a, const Text& b) {
  const int32_t la = static_cast<int32_t>(a.size()), lb = static_cast<int32_t>(b.size());
  auto mid = [](const Text& s, int32_t pos, int32_t n) { return s.substr(pos - 1, n); };
  int32_t i = 1;
  while (i <= std::min(la, lb) && a[i - 1] == b[i - 1]) ++i;
  const int32_t start = i - 1;
  if (i > std::min(la, lb)) return {i <= la ? mid(a, i, la - i + 1) : Text(), start, lb - i + 1};
  int32_t j = la, k = lb;
  while (j >= 1 && k >= 1 && a[j - 1] == b[k - 1]) --j, --k;
  const int32_t j1 = j + 1, k1 = k + 1;
  if (k1 > i && j1 >= i) return {mid(a, i, j1 - i), start, k1 - i};
  if (k1 <= i && j1 >= i) {
    const Text result = mid(a, i, j1 - k1);
    return {result, start, std::abs(static_cast<int32_t>(result.size()) - std::abs(la - lb))};
  }
  return {Text(), start, k1 - j1};
}

// The result must equal the reference's and describe the edit: the old text with `removed`
// (at `start`) replaced by the `changeNum` new characters at `start` is the new text. A
// negative count arises only where equal leading and trailing parts overlap in a shorter new
// text; deleting -changeNum old characters at `start` then gives the new text.
void checkChange(const Text& a, const Text& b) {
  SCOPED_TRACE("old " + testing::PrintToString(a) + " new " + testing::PrintToString(b));
  const ChangeResult r = change(a, b), ref = referenceChange(a, b);
  ASSERT_EQ(std::tie(r.removed, r.start, r.changeNum),
            std::tie(ref.removed, ref.start, ref.changeNum));
  Text rebuilt = a;
  if (r.changeNum >= 0) {
    ASSERT_EQ(a.substr(r.start, r.removed.size()), r.removed);
    rebuilt.replace(r.start, r.removed.size(), b.substr(r.start, r.changeNum));
  } else {
    ASSERT_TRUE(r.removed.empty());
    rebuilt.erase(r.start, -r.changeNum);
  }
  ASSERT_EQ(rebuilt, b);
}

// Unrelated texts, and texts with an edit of them as the journal sees them, both ways.
TEST(Change, RandomPairsOverSmallAlphabets) {
  std::mt19937 rng(20240607);
  const Text alphabet = u"aA \r\n";  // case counts
  auto randomText = [&](size_t maxLength, size_t letters) {
    Text s(rng() % (maxLength + 1), u' ');
    for (char16_t& c : s) c = alphabet[rng() % letters];
    return s;
  };
  for (int n = 0; n < 3000; ++n) {
    const size_t letters = 2 + n % 4;
    checkChange(randomText(8, letters), randomText(8, letters));
    const Text a = randomText(12, letters);
    const size_t at = rng() % (a.size() + 1);
    Text b = a;
    b.replace(at, rng() % (a.size() - at + 1), randomText(3, letters));
    checkChange(a, b);
    checkChange(b, a);
  }
}

}  // namespace
}  // namespace tavi
