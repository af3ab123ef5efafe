#include "search/text_search.h"

#include <gtest/gtest.h>

#include <random>

#include "shell/widgets/edit_surface.h"

namespace tavi {
namespace {

// The rule spelled out: every start, compared unit by unit.
int32_t naiveFirst(TextView text, TextView what, int options, char16_t before, char16_t after) {
  const auto n = static_cast<int32_t>(text.size());
  const auto m = static_cast<int32_t>(what.size());
  const bool matchCase = (options & kFindMatchCase) != 0;
  const auto same = [matchCase](char16_t a, char16_t b) {
    return matchCase ? a == b : upperCase(a) == upperCase(b);
  };
  for (int32_t at = 0; m > 0 && at + m <= n; ++at) {
    int32_t k = 0;
    while (k < m && same(text[at + k], what[k])) ++k;
    if (k < m) continue;
    if ((options & kFindWholeWord) != 0 && (isWordChar(at > 0 ? text[at - 1] : before) ||
                                            isWordChar(at + m < n ? text[at + m] : after)))
      continue;
    return at;
  }
  return -1;
}

TEST(SearchPatternTest, FindsWhatTheRuleSays) {
  struct Case {
    TextView text, what;
    int options = 0;
    char16_t before = 0, after = 0;
    int32_t first, last;
  };
  const Case cases[] = {
      // Overlapping occurrences: the first and the last of them.
      {.text = u"aaaa", .what = u"aaa", .first = 0, .last = 1},
      {.text = u"abababc", .what = u"ababc", .first = 2, .last = 2},
      // Case: folded on both sides unless it must match, beyond ASCII too.
      {.text = u"x Caf\u00E9", .what = u"CAF\u00C9", .first = 2, .last = 2},
      {.text = u"x Caf\u00E9",
       .what = u"CAF\u00C9",
       .options = kFindMatchCase,
       .first = -1,
       .last = -1},
      // A whole word is judged by the characters outside the stretch as well.
      {.text = u"IF IFX",
       .what = u"IF",
       .options = kFindWholeWord,
       .before = u'_',
       .first = -1,
       .last = 3},
      {.text = u"IFX IF",
       .what = u"IF",
       .options = kFindWholeWord,
       .after = u'1',
       .first = -1,
       .last = 4},
      // Nothing to find: an empty search text.
      {.text = u"abc", .what = u"", .first = -1, .last = -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.what) + " in " + toUtf8(c.text));
    const SearchPattern pattern(c.what, c.options);
    EXPECT_EQ(pattern.firstIn(c.text, c.before, c.after), c.first);
    EXPECT_EQ(pattern.lastIn(c.text), c.last);
  }
}

// Texts and search texts over a small alphabet, where borders and overlaps abound.
TEST(SearchPatternTest, AgreesWithTheRuleOnRandomTexts) {
  std::mt19937 random(7);
  const char16_t alphabet[] = u"aAb _";
  const auto draw = [&](int length) {
    Text t;
    for (int i = 0; i < length; ++i) t += alphabet[random() % 5];
    return t;
  };
  for (int round = 0; round < 3000; ++round) {
    const Text text = draw(static_cast<int>(random() % 24));
    const Text what = draw(1 + static_cast<int>(random() % 5));
    const int options = static_cast<int>(random() % 8) & (kFindMatchCase | kFindWholeWord);
    const char16_t before = alphabet[random() % 5], after = alphabet[random() % 5];
    SCOPED_TRACE(toUtf8(what) + " in " + toUtf8(text));
    EXPECT_EQ(SearchPattern(what, options).firstIn(text, before, after),
              naiveFirst(text, what, options, before, after));
  }
}

}  // namespace
}  // namespace tavi
