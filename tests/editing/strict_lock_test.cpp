// StrictLock, command by command and for the control's own edits on a key. The
// extensions_lock scenario shows the journals, the events, the keyboard and Unlock.
#include <string_view>
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

using StrictLockTest = testing::EditingFixture;

// Each edit command, on "IF abc de" with one Undo done, "de" found and "xy" on the
// clipboard: refused while locked with StrictLock on, at work once unlocked, and at
// work on a locked control without StrictLock, as without the extension.
TEST_F(StrictLockTest, ALockedStrictControlRefusesEachEditCommand) {
  struct Command {
    std::string_view name;
    std::vector<Variant> args = {};
  };
  const Command commands[] = {
      {.name = "Paste"},
      {.name = "Cut"},
      {.name = "Delete"},
      {.name = "Undo"},
      {.name = "Redo"},
      {.name = "ReplaceSE", .args = {Variant::fromString(u"de"), Variant::fromString(u"Z")}},
      {.name = "ReplaceAll",
       .args = {Variant::fromString(u"a"), Variant::fromString(u"Z"), Variant::fromBool(true)}},
  };
  for (const Command& command : commands) {
    for (const bool strict : {true, false}) {
      SCOPED_TRACE(::testing::Message() << command.name << " " << strict);
      given(u"IF ");
      widgets.type(u"abc def");
      control.Undo();
      module().m_lLastCaret = 0;  // the search starts at the top
      control.FindSE(u"de", true, false);
      platform.clipboard().setContent(Text(u"xy"));
      control.m_bChange = false;
      control.StrictLock = strict;
      control.DisableControl();
      const Text before = text();
      invoke(command.name, MemberKind::Method, command.args);
      EXPECT_EQ(control.m_bChange, !strict);
      if (!strict) continue;
      EXPECT_EQ(text(), before);
      control.Unlock();
      invoke(command.name, MemberKind::Method, command.args);
      EXPECT_TRUE(control.m_bChange) << "unlocked";
    }
  }
}

// Typing and the clipboard keys never reach a locked editor; with StrictLock on, neither
// does a completion commit.
TEST_F(StrictLockTest, ALockedStrictControlTakesNoCompletionCommit) {
  for (const bool strict : {false, true}) {
    SCOPED_TRACE(strict);
    given(u"IF A\r\nQUE");
    control.StrictLock = strict;
    control.DisableControl();
    // F1 opens the list; a letter key (refused by the surface) selects the entry for
    // "QUE"; Space commits it.
    press(vk::kF1);
    press(static_cast<int16_t>('E'));
    ASSERT_GE(list().listIndex(), 0);
    press(vk::kSpace);
    EXPECT_EQ(text() == u"IF A\r\nQUE", strict);
    control.Unlock();
  }
}

}  // namespace
}  // namespace tavi
