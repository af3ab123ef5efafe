// The editor's key press and key release: the action of each key, the change flag, the
// maximum-size warning, failing clipboard steps and Tab.
#include <optional>
#include <utility>

#include "editing/editing_fixture.h"
#include "editing/parameter_hint.h"

namespace tavi {
namespace {

using testing::Events;
using KeyReleaseTest = testing::EditingFixture;

// ---- Keys released without modifiers ----

TEST_F(KeyReleaseTest, EscapeHidesTheListThenTheHintAndEnterHidesBoth) {
  given(u"IF", 2);
  press(vk::kF1);
  ShowHintForIndex(control, 1);
  press(vk::kEscape);
  EXPECT_FALSE(list().visible() || module().m_bListShown);
  EXPECT_TRUE(hint().visible() && module().m_bHintShown);
  press(vk::kEscape);
  EXPECT_FALSE(hint().visible() || module().m_bHintShown);

  press(vk::kF1);
  press(vk::kReturn);
  EXPECT_FALSE(list().visible() || module().m_bListShown);
}

TEST_F(KeyReleaseTest, EnterMarksAChangeOnANewLineButTheFirst) {
  for (const auto& [caret, change] : {std::pair{0, false}, {3, true}}) {
    given(u"A\r\nB", caret);
    module().m_lDownLine = 5;
    widgets.keyUp(vk::kReturn, 0);
    EXPECT_EQ(control.m_bChange, change) << caret;
  }
}

TEST_F(KeyReleaseTest, NavigationHidesTheHintOnlyWhenTheCaretLeavesItsLine) {
  const std::pair<int16_t, bool> keys[] = {{vk::kLeft, false}, {vk::kRight, false},
                                           {vk::kUp, true},    {vk::kDown, true},
                                           {vk::kPrior, true}, {vk::kNext, true}};
  for (const auto& [key, leavesLine] : keys) {
    given(u"AB\r\nCD\r\nEF", 5);
    ShowHintForIndex(control, 0);
    module().m_bTextChanged = true;
    press(key);
    EXPECT_TRUE(module().m_bCaretMoved) << key;
    EXPECT_EQ(hint().visible() && module().m_bHintShown, !leavesLine) << key;
    EXPECT_EQ(module().m_bTextChanged, !leavesLine) << key;
    EXPECT_EQ(module().m_lDownLine, surface().lineFromChar(surface().selStart())) << key;
  }
}

TEST_F(KeyReleaseTest, OtherKeysColourTheSpanOnlyAfterATextChangeAndACaretMove) {
  for (const auto& [textChanged, caretMoved] :
       {std::pair{true, true}, {true, false}, {false, true}, {false, false}}) {
    given(u"IF A", 4);
    module().m_bTextChanged = textChanged;
    module().m_bCaretMoved = caretMoved;
    press(vk::kEnd);
    EXPECT_EQ(marked(), textChanged && caretMoved ? u"[IF] A" : u"IF A") << textChanged;
  }
  // Without keyword colouring no key does keyword work, but every release still ends.
  control.m_bKeywordHighlight = false;
  given(u"AND", 3);
  module().m_bTextChanged = module().m_bCaretMoved = true;
  press(vk::kEnd);
  press(vk::kF1);
  press(vk::kSpace);
  EXPECT_EQ(marked(), u"AND ");
  EXPECT_FALSE(list().visible() || hint().visible());
  EXPECT_EQ(sink.events, (Events{"1007", "1007", "change", "1007"}));
}

// ---- Keys released with modifiers ----

TEST_F(KeyReleaseTest, KeyboardPastesAndCutsRecolourTheLinesTheyTouch) {
  for (const auto& [key, shift] : {std::pair{vk::kV, kCtrlMask},
                                   {vk::kInsert, kShiftMask},
                                   {vk::kX, kCtrlMask},
                                   {vk::kDelete, kShiftMask}}) {
    const bool paste = key == vk::kV || key == vk::kInsert;
    given(paste ? u"IF A \r\nX" : u"IF A THEN", paste ? 5 : 3, paste ? 0 : 2);
    platform.clipboard().setContent(Text(u"THEN\r\nQUIT"));
    press(key, shift);
    EXPECT_EQ(marked(), paste ? u"[IF] A [THEN]\r\n[QUIT]\r\nX" : u"[IF] [THEN]") << key;
  }
}

TEST_F(KeyReleaseTest, OtherModifierCombinationsDoNoKeywordWork) {
  const std::pair<int16_t, int16_t> keys[] = {
      {vk::kV, 3},    {vk::kX, 3},      {vk::kInsert, kCtrlMask}, {vk::kDelete, kCtrlMask},
      {vk::kV, 4},    {65, kShiftMask}, {vk::kF1, kShiftMask},    {vk::kSpace, kCtrlMask},
      {vk::kDown, 1}, {vk::kEscape, 1}, {vk::kReturn, 1}};
  given(u"AND \r\nX", 4);
  platform.clipboard().setContent(Text(u"QUIT"));
  ShowHintForIndex(control, 0);
  for (const auto& [key, shift] : keys) {
    module().m_bTextChanged = module().m_bCaretMoved = true;
    module().m_lDownLine = 1;
    widgets.keyUp(key, shift);
    EXPECT_EQ(marked(), u"AND \r\nX") << key << " " << shift;
    EXPECT_FALSE(list().visible()) << key << " " << shift;
    EXPECT_TRUE(hint().visible() && module().m_bHintShown) << key << " " << shift;
  }
}

// ---- The key press, the change flag and the end of the release ----

TEST_F(KeyReleaseTest, EachKeyRecordsItsPlacesAndOnlyEditingKeysSetTheChangeFlag) {
  given(u"AB\r\nCD", 5);
  const std::pair<bool, std::vector<int16_t>> groups[] = {
      // Enter that stays on its line sets no change either.
      {false, {13, 16, 17, 18,  19,  20,  27,  33,  34,  35,  36,  37,  38,  39,  40, 44,
               45, 91, 93, 113, 114, 115, 117, 118, 119, 120, 121, 122, 123, 144, 145}},
      {true, {8, 9, 46, 116, 15, 21, 26, 28, 32, 41, 43, 65, 92, 94, 124, 143, 146, 231, 112}}};
  for (const auto& [editing, codes] : groups) {
    for (int16_t code : codes) {
      const bool records = code == 13 || (code >= 33 && code <= 40 && code != 35 && code != 36);
      module().m_lDownCaret = module().m_lDownLine = module().m_lLastCaret = -1;
      control.m_bChange = false;
      widgets.keyDown(code, 0);
      const int32_t caret = surface().selStart();
      EXPECT_EQ(module().m_lDownCaret, records ? caret : -1) << code;
      EXPECT_EQ(module().m_lDownLine, records ? surface().lineFromChar(caret) : -1) << code;
      EXPECT_EQ(module().m_lLastCaret, caret) << code;
      widgets.keyUp(code, 0);
      EXPECT_EQ(control.m_bChange, editing) << code;
      EXPECT_EQ(sink.events.back(), "1007") << code;
    }
  }
}

TEST_F(KeyReleaseTest, LockCopyAndPasteDecideTheChangeFlagOfAnEditingKey) {
  given(u"A\r\nB", 3);
  control.m_bLock = true;
  control.m_bChange = true;
  widgets.keyUp(vk::kF5, 0);
  EXPECT_FALSE(control.m_bChange) << "locked";
  module().m_lDownLine = 0;
  widgets.keyUp(vk::kReturn, 0);
  EXPECT_TRUE(control.m_bChange) << "Enter is the exception";
  control.m_bLock = false;

  surface().setSelLength(1);
  for (bool before : {false, true}) {
    control.m_bChange = before;
    press(vk::kC, kCtrlMask);
    EXPECT_EQ(control.m_bChange, before) << "Ctrl+C keeps it";
  }
  for (const auto& [clipboard, change] :
       {std::pair{std::optional<Text>(), false}, {Text(), false}, {Text(u"X"), true}}) {
    platform.clipboard().setContent(clipboard);
    control.m_bChange = false;
    press(vk::kV, kCtrlMask);
    EXPECT_EQ(control.m_bChange, change) << "Ctrl+V sets it only with text";
  }
}

TEST_F(KeyReleaseTest, AtTheMaximumSizeEachEditingKeyWarnsOnceAndEndsTheRelease) {
  control.m_MaxLen = 4;
  given(u"ABCD", 4);
  module().m_lDownLine = 7;
  widgets.type(u"xy");
  EXPECT_EQ(text(), u"ABCD");
  EXPECT_EQ(platform.messageBoxes().drain().size(), 2u);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_EQ(module().m_lDownLine, 7);
  EXPECT_FALSE(control.m_bTrackChanges || control.m_bChange);

  // Backspace and Delete, even when they remove nothing, keys that do not edit and Enter,
  // which is refused: no warning.
  surface().setSelStart(0);
  press(vk::kBack);
  surface().setSelStart(4);
  press(vk::kDelete);
  press(vk::kLeft);
  press(vk::kReturn);
  EXPECT_EQ(text(), u"ABCD");
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
  EXPECT_EQ(sink.events, (Events{"1007", "1007", "1007", "1007"}));
}

TEST_F(KeyReleaseTest, ALockedClipboardEndsTheCtrlVPressAndReleaseWithTheArrowPointer) {
  given(u"IF ", 3);
  platform.clipboard().setContent(Text(u"THEN"));
  platform.clipboard().setLocked(true);
  int16_t code = vk::kV;
  int16_t shift = kCtrlMask;
  control.SetHourGlassCursor();
  control.surfaceKeyDown(code, shift);
  EXPECT_EQ(code, 0) << "swallowed";
  EXPECT_EQ(surface().mousePointer(), kPointerDefault);
  EXPECT_EQ(sink.events, Events{"1008"});

  for (bool colouring : {true, false}) {
    control.m_bKeywordHighlight = colouring;
    sink.events.clear();
    control.SetHourGlassCursor();
    widgets.keyUp(vk::kV, kCtrlMask);
    EXPECT_EQ(surface().mousePointer(), kPointerDefault) << colouring;
    EXPECT_TRUE(sink.events.empty()) << "no 1007";
    EXPECT_FALSE(control.m_bTrackChanges);
  }
}

// A Tab that reaches the release without a focus change keeps the hidden selection: the tab
// goes before the selected text and nothing stays selected.
TEST_F(KeyReleaseTest, ATabWithoutFocusChangePutsATabBeforeTheHiddenSelection) {
  given(u"xabcx", 1, 3);
  surface().setHideSelection(true);
  widgets.keyUp(vk::kTab, 0);
  EXPECT_EQ(text(), u"x\tabcx");
  EXPECT_EQ(surface().selStart(), 5);
  EXPECT_EQ(surface().selLength(), 0);
}

}  // namespace
}  // namespace tavi
