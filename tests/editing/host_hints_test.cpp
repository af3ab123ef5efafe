// Hint texts the host sets (SetKeywordHint) and HideEmptyHint, where the extensions_hint
// scenario does not reach: a keyword listed twice, and a commit that replaces a hint.
#include "editing/editing_fixture.h"
#include "editing/parameter_hint.h"

namespace tavi {
namespace {

using HostHintsTest = testing::EditingFixture;

TEST_F(HostHintsTest, AKeywordListedTwiceTakesTheHostsTextAtBothPlaces) {
  control.SetKeywordHint(u"WITH PRIORITY", u"p");
  const int32_t first = indexOf(u"WITH PRIORITY");
  EXPECT_EQ(HintTextFor(control, first), u"p");
  EXPECT_EQ(HintTextFor(control, first + 1), u"p");
  EXPECT_EQ(HintTextFor(control, first + 2), u"") << "WITH TERMINATING CHARACTER";
}

// A commit of a keyword without hint text hides the hint that was showing.
TEST_F(HostHintsTest, WithHideEmptyHintACommitWithoutTextHidesTheHint) {
  control.HideEmptyHint = true;
  control.SetKeywordHint(u"IF", u"cond");
  given(u"");
  widgets.type(u"IF ");
  EXPECT_EQ(hint().text(), u"cond");
  press(vk::kF1);
  widgets.type(u"QUIT ");
  EXPECT_EQ(text(), u"IF QUIT ");
  EXPECT_FALSE(hint().visible());
  EXPECT_FALSE(module().m_bHintShown);
}

}  // namespace
}  // namespace tavi
