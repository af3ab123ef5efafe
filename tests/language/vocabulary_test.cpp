#include "language/vocabulary.h"

#include <gtest/gtest.h>

#include <vector>

#include "headless/platform.h"
#include "shell/module_state.h"

namespace tavi {
namespace {

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
