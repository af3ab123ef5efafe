// StrictLock: a locked control refuses the commands and key actions that edit its text,
// and Unlock takes DisableControl back.
#include <string_view>
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using StrictLockTest = testing::EditingFixture;

struct Command {
  std::string_view name;
  std::vector<Variant> args = {};
};

// "abc def" typed after "IF ", undone once (so both journals hold something), "def"
// found (so ReplaceSE has a match) and "xy" on the clipboard.
const Command kEditCommands[] = {
    {.name = "Paste"},
    {.name = "Cut"},
    {.name = "Delete"},
    {.name = "Undo"},
    {.name = "Redo"},
    {.name = "ReplaceSE", .args = {Variant::fromString(u"def"), Variant::fromString(u"Z")}},
    {.name = "ReplaceAll",
     .args = {Variant::fromString(u"a"), Variant::fromString(u"Z"), Variant::fromBool(true)}},
};

class StrictLockCommandsTest : public StrictLockTest {
 protected:
  void prepare() {
    given(u"IF ");
    widgets.type(u"abc def");
    control.Undo();
    module().m_lLastCaret = 0;  // the search starts at the top
    control.FindSE(u"de", true, false);
    platform.clipboard().setContent(Text(u"xy"));
    control.m_bChange = false;
    sink.events.clear();
  }
};

TEST_F(StrictLockCommandsTest, ALockedStrictControlsEditCommandsChangeNothing) {
  for (const Command& command : kEditCommands) {
    SCOPED_TRACE(command.name);
    prepare();
    control.StrictLock = true;
    control.DisableControl();
    const Text before = text();
    const int32_t selStart = surface().selStart();
    const int32_t undo = control.m_colUndo.count();
    const int32_t redo = control.m_colRedo.count();
    const InvokeResult result = invoke(command.name, MemberKind::Method, command.args);
    EXPECT_EQ(result.hresult, 0u);
    EXPECT_TRUE(result.value.isEmpty());
    EXPECT_EQ(text(), before);
    EXPECT_EQ(surface().selStart(), selStart);
    EXPECT_EQ(control.m_colUndo.count(), undo);
    EXPECT_EQ(control.m_colRedo.count(), redo);
    EXPECT_FALSE(control.m_bChange);
    EXPECT_TRUE(sink.events.empty());

    // Unlocked again, the same command does its work; so does a locked control without
    // StrictLock, as without the extension.
    control.Unlock();
    EXPECT_FALSE(control.m_bLock);
    EXPECT_FALSE(surface().locked());
    invoke(command.name, MemberKind::Method, command.args);
    EXPECT_TRUE(control.m_bChange);
    prepare();
    control.StrictLock = false;
    control.DisableControl();
    invoke(command.name, MemberKind::Method, command.args);
    EXPECT_TRUE(control.m_bChange);
    control.Unlock();
  }
}

// Copy and Select All change no text: a locked strict control still does them.
TEST_F(StrictLockTest, CopyAndSelectAllStillWork) {
  given(u"IF A", 0, 2);
  control.StrictLock = true;
  control.DisableControl();
  control.Copy();
  EXPECT_EQ(platform.clipboard().content(), Text(u"IF"));
  control.SelectAll();
  EXPECT_EQ(surface().selLength(), 4);
  EXPECT_EQ(sink.events, (testing::Events{"1002", "1005"}));
}

// The editing keys of the surface already refuse a locked editor; the control's own
// edits on a key (Tab's indentation, a completion commit) are refused with StrictLock on.
TEST_F(StrictLockTest, KeysLeaveALockedStrictControlsTextAlone) {
  for (const bool strict : {false, true}) {
    SCOPED_TRACE(strict);
    given(u"IF A\r\nQUE", 1, 2);
    platform.clipboard().setContent(Text(u"xy"));
    control.StrictLock = strict;
    control.DisableControl();
    const int32_t undo = control.m_colUndo.count();
    press(vk::kV, kCtrlMask);
    press(vk::kInsert, kShiftMask);
    press(vk::kX, kCtrlMask);
    press(vk::kDelete, kShiftMask);
    press(vk::kBack);
    widgets.type(u"z");
    EXPECT_EQ(text(), u"IF A\r\nQUE") << "the surface refuses these";
    // F1 opens the list; a letter key (refused by the surface) selects the entry for
    // "QUE"; Space commits it.
    surface().setSelStart(9);
    press(vk::kF1);
    press(static_cast<int16_t>('E'));
    ASSERT_GE(list().listIndex(), 0);
    press(vk::kSpace);
    press(vk::kTab);
    if (strict) {
      EXPECT_EQ(text(), u"IF A\r\nQUE");
      EXPECT_EQ(control.m_colUndo.count(), undo);
    } else {
      EXPECT_NE(text(), u"IF A\r\nQUE") << "without StrictLock the commit and Tab still edit";
    }
    control.Unlock();
  }
}

}  // namespace
}  // namespace tavi
