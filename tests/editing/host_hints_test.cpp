// Hint texts the host sets for one control (SetKeywordHint), and HideEmptyHint.
#include <map>
#include <utility>

#include "editing/editing_fixture.h"
#include "editing/parameter_hint.h"

namespace tavi {
namespace {

using HostHintsTest = testing::EditingFixture;

Variant str(std::u16string_view s) { return Variant::fromString(Text(s)); }

TEST_F(HostHintsTest, TheHostsTextComesFirstForThisControlOnly) {
  ASSERT_EQ(invoke("SetKeywordHint", MemberKind::Method, {str(u"AND"), str(u"a, b")}).hresult, 0u);
  given(u"");
  widgets.type(u"AND ");
  EXPECT_EQ(hint().text(), u"a, b");
  EXPECT_EQ(hint().width(), 7 * 4 + 5) << "sized for the host's text";

  // A second control on the thread shares the thread's table, not this control's texts.
  HeadlessControl& otherWidgets = platform.createControl();
  TaviColorText other(otherWidgets.widgets());
  EXPECT_EQ(HintTextFor(other, indexOf(u"AND")), u"tham so 1,tham so 2,tham so 3");

  // An empty hint gives the built-in text back; "WITH PRIORITY", listed twice, takes the
  // host's text at both places.
  invoke("SetKeywordHint", MemberKind::Method, {str(u"AND"), str(u"")});
  EXPECT_EQ(HintTextFor(control, indexOf(u"AND")), u"tham so 1,tham so 2,tham so 3");
  invoke("SetKeywordHint", MemberKind::Method, {str(u"WITH PRIORITY"), str(u"p")});
  EXPECT_EQ(HintTextFor(control, indexOf(u"WITH PRIORITY")), u"p");
  EXPECT_EQ(HintTextFor(control, indexOf(u"WITH PRIORITY") + 1), u"p");
}

TEST_F(HostHintsTest, AWordOutsideTheVocabularyOrNullIsAnErrorAndChangesNothing) {
  invoke("SetKeywordHint", MemberKind::Method, {str(u"IF"), str(u"cond")});
  // Keywords match case; Null is no text.
  for (const auto& [keyword, number] :
       {std::pair{str(u"if"), 5}, {str(u"IFX"), 5}, {str(u""), 5}, {Variant::null(), 94}}) {
    const InvokeResult result = invoke("SetKeywordHint", MemberKind::Method, {keyword, str(u"x")});
    EXPECT_EQ(result.errorNumber, number);
    EXPECT_EQ(control.hostKeywordHints, (std::map<Text, Text>{{u"IF", u"cond"}}));
  }
}

TEST_F(HostHintsTest, HideEmptyHintShowsNoBoxForAnEmptyText) {
  for (const bool hideEmpty : {false, true}) {
    SCOPED_TRACE(hideEmpty);
    control.HideEmptyHint = hideEmpty;
    given(u"");
    widgets.type(u"IF ");  // IF has no built-in hint text
    EXPECT_EQ(hint().visible(), !hideEmpty);
    EXPECT_EQ(module().m_bHintShown, !hideEmpty);
  }
  // A host's text for IF shows; a commit of a keyword without text hides a hint showing.
  invoke("SetKeywordHint", MemberKind::Method, {str(u"IF"), str(u"cond")});
  given(u"");
  widgets.type(u"IF ");
  EXPECT_TRUE(hint().visible());
  press(vk::kF1);
  widgets.type(u"QUIT ");
  EXPECT_EQ(text(), u"IF QUIT ");
  EXPECT_FALSE(hint().visible());
  EXPECT_FALSE(module().m_bHintShown);
}

}  // namespace
}  // namespace tavi
