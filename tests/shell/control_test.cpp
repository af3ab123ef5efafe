#include "shell/control.h"

#include <set>

#include "shell/dispatch.h"

#include "support/control_fixture.h"

namespace tavi {
namespace {

using ControlTest = testing::ControlFixture;

TEST_F(ControlTest, TextPutReplacesTheSelectionWithNormalisedTextAsOneEditUpToTheMaximum) {
  control.m_bFirstTime = false;
  load(u"A\r\n\r\n");
  EXPECT_EQ(text(), u"A\r\n\r\n") << "only the last of three line breaks goes";
  EXPECT_EQ(widgets.surface().selStart(), 5);

  widgets.select(0, 1);
  control.bFind = true;
  sink.events.clear();
  control.putText(Variant::fromString(u"\r\nC\r\r\n"));
  EXPECT_EQ(text(), u"\r\nC\r\n\r\n\r\n") << "CRs dropped, inserted in place of the selection";
  EXPECT_EQ(widgets.surface().selStart(), 5) << "behind the inserted text";
  ASSERT_EQ(control.m_colUndo.count(), 3) << "start-up, first load, second load";
  EXPECT_EQ(control.m_colUndo.last().Text.str(), text());
  EXPECT_EQ(sink.events, std::vector<std::string>{"change"}) << "the deletion is not recorded";
  EXPECT_FALSE(control.bFind);

  control.m_MaxLen = 10;
  widgets.surface().setMaxLength(10);
  load(u"0123456789ABCDEF");
  EXPECT_EQ(text(), u"0123456789") << "the editor's maximum length is the only limit";
  EXPECT_EQ(widgets.surface().selStart(), 9) << "before the limit";
  EXPECT_EQ(platform.messageBoxes().pending().size(), 1u) << "the text reached the maximum";
}

TEST_F(ControlTest, LoadFlagDecidesWhetherLoadingTakesTheFocus) {
  widgets.focus(FocusPlace::kAway);
  load(u"x");
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kAway);
  control.putLoad_flag(Variant::fromString(u"False"));
  load(u"y");
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);
}

TEST_F(ControlTest, ChangeHandlingRecordsTrackedEditsAndSkipsMultiCharacterDeletions) {
  load(u"abcdef");
  const int32_t snapshots = control.m_colUndo.count();
  widgets.select(1, 3);
  sink.events.clear();
  widgets.surface().replaceSelection(u"Z");  // two characters shorter: no onChange
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 1);
  EXPECT_TRUE(sink.events.empty());
  widgets.surface().replaceSelection(u"Y");
  EXPECT_EQ(sink.events, std::vector<std::string>{"change"});

  control.m_bTrackChanges = false;
  control.module().m_bTextChanged = false;
  widgets.surface().replaceSelection(u"x");
  EXPECT_EQ(control.m_colUndo.count(), snapshots + 2) << "programmatic changes are not recorded";
  EXPECT_EQ(sink.events.size(), 1u);
  EXPECT_TRUE(control.module().m_bTextChanged);
}

// Every member answering by DISPID and by name is checked by the dispids scenario; here,
// that there is nothing more (beside the nine opt-in extensions, at 0x60100001 onwards)
// and that names match whole.
TEST(DispatchTable, HoldsTheFortyMembersOfTheInterfaceAndTheExtensionsOnly) {
  const DispatchTable& table = DispatchTable::instance();
  std::set<int32_t> ids;
  int extensions = 0;
  for (const DispatchMember& m : table.members()) {
    if (ids.insert(m.dispid).second && m.dispid >= 0x60100001 && m.dispid <= 0x60100009)
      ++extensions;
  }
  EXPECT_EQ(extensions, 9);
  EXPECT_EQ(ids.size(), 40u + 9u);
  EXPECT_FALSE(table.idOfName("Texts"));
  EXPECT_FALSE(table.idOfName("Tex"));
}

// A value that cannot be converted, and too few arguments, are in the properties scenario.
TEST_F(ControlTest, PropertiesReadThroughTheMethodKindAndCountsAreChecked) {
  EXPECT_TRUE(invoke("Value", MemberKind::Method).ok()) << "script hosts read properties so";
  EXPECT_EQ(invoke("Length", MemberKind::Put, {}).hresult, hr::kBadParamCount);
  EXPECT_EQ(invoke("Undo", MemberKind::Method, {Variant()}).hresult, hr::kBadParamCount);
}

}  // namespace
}  // namespace tavi
