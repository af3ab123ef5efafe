#include "language/vocabulary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "headless/platform.h"
#include "shell/module_state.h"

namespace tavi {
namespace {

TEST(Vocabulary, HoldsTheEntriesOfTheLanguageInLoadOrder) {
  const auto words = keywordsInLoadOrder();
  ASSERT_EQ(words.size(), 116u);
  EXPECT_EQ(words[0], u"CHANGE PRIORITY IN AGENT");
  EXPECT_EQ(words[26], u"WITH PRIORITY");
  EXPECT_EQ(words[32], u"WITH PRIORITY");
  EXPECT_EQ(words[34], u"QREMOVE FROM NACD");
  EXPECT_EQ(words[115], u"OR");
  EXPECT_EQ(std::set<TextView>(words.begin(), words.end()).size(), 115u);
  EXPECT_EQ(std::count(words.begin(), words.end(), u"REMOVE FROM NACD"), 0);
  for (TextView w : words) {
    EXPECT_GE(w.size(), 2u);
    EXPECT_LE(w.size(), 38u);
    EXPECT_NE(w.front(), u' ');
    EXPECT_NE(w.back(), u' ');
    EXPECT_EQ(w.find(u"  "), TextView::npos);
    EXPECT_TRUE(std::all_of(w.begin(), w.end(),
                            [](char16_t c) { return c == u' ' || (c >= u'A' && c <= u'Z'); }));
  }
}

TEST(Vocabulary, LoadingFillsTheSortedListAndTheHintTables) {
  HeadlessPlatform platform;
  HeadlessListBox& list = platform.createControl().list();
  ModuleState module;
  module.m_iHintIndex = 7;
  module.m_bListShown = true;
  loadKeywords(module, list);

  ASSERT_EQ(list.listCount(), 116);
  EXPECT_EQ(list.item(0), u"AGE OF CALL");
  EXPECT_EQ(list.item(1), u"AND");
  EXPECT_EQ(list.item(2), u"ANSWERED CALL COUNT");
  const auto& items = list.items();
  const auto pos = std::find(items.begin(), items.end(), u"WITH PRIORITY") - items.begin();
  EXPECT_EQ(items[pos + 1], u"WITH PRIORITY") << "the two equal items stand together";
  auto indexOf = [&](TextView w) {
    return std::find(items.begin(), items.end(), w) - items.begin();
  };
  EXPECT_LT(indexOf(u"IDLE AGENT"), indexOf(u"IDLE AGENT COUNT"));
  EXPECT_LT(indexOf(u"QUEUE TO AGENT"), indexOf(u"QUEUED"));
  EXPECT_LT(indexOf(u"TIME OF DAY"), indexOf(u"TIMER"));

  ASSERT_EQ(module.m_strParamHints.size(), 117u);
  EXPECT_EQ(module.m_strParamHints[0], u"tham so 1,tham so 2");
  EXPECT_EQ(module.m_strParamHints[1], u"tham so 1,tham so 2,tham so 3");
  EXPECT_EQ(module.m_strParamHints[2], u"tham so 1,tham so 2,tham so 3,tham so 4");
  for (size_t i = 3; i < 117; ++i) EXPECT_TRUE(module.m_strParamHints[i].empty()) << i;
  EXPECT_EQ(module.m_iHintLookBack, 8);
  EXPECT_EQ(module.m_iHintIndex, -1);
  EXPECT_FALSE(module.m_bListShown);
}

TEST(Vocabulary, DelimitersAreBuiltAfresh) {
  ModuleState module;
  module.m_strDelims = {u"x", u"y", u"z", u"w"};
  initDelimiters(module);
  EXPECT_EQ(module.m_strDelims, (std::vector<Text>{u"(", u")", u"/*"}));
}

}  // namespace
}  // namespace tavi
