#include "language/keyword_trie.h"

#include <random>
#include <tuple>
#include <vector>

#include "language/line_scanner.h"
#include "language/vocabulary.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

using KeywordScannerTest = testing::ControlFixture;

std::vector<KeywordHit> freshScan(const KeywordTrie& trie, TextView text, int32_t from,
                                  int32_t to) {
  std::vector<KeywordHit> hits;
  trie.forEachWholeWord(text, from, to, to, [&](int32_t s, int32_t k) { hits.push_back({s, k}); });
  return hits;
}

// A line edited a piece at a time, as a person types, and scanned after every edit: what the
// scanner keeps from its last scan must be what a fresh scan finds, at the edges of the
// stretch too (a keyword cut by them, a word running on outside them).
TEST_F(KeywordScannerTest, AfterEveryEditFindsWhatAFreshScanFinds) {
  KeywordScanner scanner(*control.widgets().list);
  const std::vector<Text> pieces = {u"IF", u" ",    u"THEN",  u"END IF",           u"x",
                                    u"(",  u")",    u"/*",    u"IDLE AGENT COUNT", u"IDLE AGENT",
                                    u"_",  u"\r\n", u"\u00C9"};
  std::mt19937 random(11);
  Text text;
  for (int i = 0; i < 600; ++i) text += pieces[random() % pieces.size()];
  for (int edit = 0; edit < 2000; ++edit) {
    const auto n = static_cast<int32_t>(text.size());
    const auto at = static_cast<size_t>(random() % (n + 1));
    if (random() % 3 == 0 && at < text.size())
      text.erase(at, 1 + random() % 4);
    else
      text.insert(at, pieces[random() % pieces.size()]);
    const auto size = static_cast<int32_t>(text.size());
    // Mostly the same stretch, now and then another one.
    int32_t from = 3, to = size - 2;
    if (random() % 8 == 0) {
      from = static_cast<int32_t>(random() % (size + 1));
      to = from + static_cast<int32_t>(random() % (size - from + 1));
    }
    SCOPED_TRACE(edit);
    ASSERT_EQ(scanner.scan(text, from, to), freshScan(scanner.trie(), text, from, to));
  }
}

// The line of a caret in lines longer than the blocks its CR is looked for in.
TEST_F(KeywordScannerTest, LineOfACaretInLongLines) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    Text text(random() % 80, u'a');
    for (int breaks = random() % 4; breaks > 0 && !text.empty(); --breaks)
      text.replace(random() % text.size(), 1, u"\r\n");
    const auto p = static_cast<int32_t>(random() % (text.size() + 2));
    int32_t start = 0, limitEnd = 0;
    lineBoundsAt(text, p, start, limitEnd);
    // The line, unit by unit: after the last CR before p, up to the first CR from p - 1 on.
    const auto n = static_cast<int32_t>(text.size());
    int32_t wantStart = 0, end = p > 0 ? std::min(p - 1, n) : 0;
    for (int32_t j = std::min(p, n) - 1; j >= 0 && wantStart == 0; --j)
      if (text[j] == u'\r') wantStart = j + 2;
    while (end < n && text[end] != u'\r') ++end;
    const int32_t from = wantStart == 0 ? 0 : wantStart - 1;
    SCOPED_TRACE(toUtf8(text) + " at " + std::to_string(p));
    EXPECT_EQ(start, wantStart);
    EXPECT_EQ(limitEnd, wantStart + std::max(end - from, 0));
  }
}

// FindKeywordSpan is checked against plain search loops by the colouring tests.
TEST_F(KeywordScannerTest, LineOfACaretCarriesTheLineFeedBeforeIt) {
  const std::tuple<Text, int32_t, int32_t, Text> cases[] = {
      {u"AB\r\nCD", 0, 0, u"AB"},
      {u"AB\r\nCD", 2, 0, u"AB"},  // the end of a line belongs to it
      {u"AB\r\nCD", 3, 4, u""},    // between CR and LF: an empty line
      {u"AB\r\nCD", 4, 4, u"\nCD"},
      {u"AB\r\nCD", 6, 4, u"\nCD"},
      {u"AB\r\nCD", 60, 4, u"\nCD"},  // beyond the text: the last line
      {u"IF\r\n", 4, 4, u"\n"},       // after a closing line break: an empty last line
      {u"", 0, 42, u""},              // an empty text keeps the start passed in
  };
  for (const auto& [text, p, wantStart, wantLine] : cases) {
    load(text);
    int32_t start = 42;
    Text line = u"junk";
    control.module().m_bTextChanged = true;
    GetLineAt(control, p, start, line);
    EXPECT_EQ(std::tie(start, line), std::tie(wantStart, wantLine)) << toUtf8(text) << " " << p;
    EXPECT_FALSE(control.module().m_bTextChanged);
  }
}

// The items themselves are checked by the scenarios, the hint look-back by the completion
// tests.
TEST(Vocabulary, LoadingSetsUpTheTablesAfreshAndClearsTheFlags) {
  HeadlessPlatform platform;
  HeadlessListBox& list = platform.createControl().list();
  ModuleState module;
  module.m_iHintIndex = 7;
  module.m_bListShown = true;
  module.m_strDelims = {u"x", u"y", u"z", u"w"};
  loadKeywords(module, list);
  initDelimiters(module);
  ASSERT_EQ(list.listCount(), 116);
  // One slot more than there are items; only the first three items have a hint.
  std::vector<Text> hints(117);
  hints[0] = u"tham so 1,tham so 2";
  hints[1] = u"tham so 1,tham so 2,tham so 3";
  hints[2] = u"tham so 1,tham so 2,tham so 3,tham so 4";
  EXPECT_EQ(module.m_strParamHints, hints);
  EXPECT_EQ(module.m_iHintIndex, -1);
  EXPECT_FALSE(module.m_bListShown);
  EXPECT_EQ(module.m_strDelims, (std::vector<Text>{u"(", u")", u"/*"}));
}

}  // namespace
}  // namespace tavi
