// The editor's key press and key release: the action of each key, the change flag of the
// editing keys, the maximum-size warning, failing steps, the clipboard keys and Tab.
#include <optional>
#include <utility>

#include "editing/editing_fixture.h"
#include "editing/parameter_hint.h"

namespace tavi {
namespace {

using testing::Events;
using KeyReleaseTest = testing::EditingFixture;

// ---- The action of each key released without modifiers ----

TEST_F(KeyReleaseTest, EnterHidesListAndHintAndMarksAChangeOnANewLineButTheFirst) {
  given(u"AB", 2);
  press(vk::kF1);
  ShowHintForIndex(control, 0);
  control.m_bChange = false;
  sink.events.clear();
  press(vk::kReturn);
  EXPECT_EQ(text(), u"AB\r\n");
  EXPECT_FALSE(list().visible() || module().m_bListShown);
  EXPECT_FALSE(hint().visible() || module().m_bHintShown);
  EXPECT_TRUE(control.m_bChange);
  EXPECT_EQ(sink.events, (Events{"change", "1007"}));

  struct Row {
    int32_t caret, downLine;
    bool change;
  };
  for (const Row row : {Row{0, 5, false}, {3, 5, true}, {3, 1, false}}) {
    given(u"A\r\nB", row.caret);
    module().m_lDownLine = row.downLine;
    widgets.keyUp(vk::kReturn, 0);
    EXPECT_EQ(control.m_bChange, row.change) << row.caret << " " << row.downLine;
  }
  // A line break refused at the maximum length leaves the caret, and the flag, where it was.
  control.m_MaxLen = 2;
  given(u"AB", 2);
  press(vk::kReturn);
  EXPECT_EQ(text(), u"AB");
  EXPECT_FALSE(control.m_bChange);
  EXPECT_EQ(sink.events, Events{"1007"}) << "Enter never shows the maximum-size warning";
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
}

TEST_F(KeyReleaseTest, NavigationHidesTheHintOnlyWhenTheCaretLeavesItsLine) {
  struct Row {
    int16_t key;
    bool leavesLine;
  };
  const Row rows[] = {{vk::kLeft, false}, {vk::kRight, false}, {vk::kUp, true},
                      {vk::kDown, true},  {vk::kPrior, true},  {vk::kNext, true}};
  for (const Row row : rows) {
    SCOPED_TRACE(row.key);
    given(u"AB\r\nCD\r\nEF", 5);
    ShowHintForIndex(control, 0);
    module().m_bTextChanged = true;
    press(row.key);
    EXPECT_TRUE(module().m_bCaretMoved);
    EXPECT_EQ(hint().visible(), !row.leavesLine);
    EXPECT_EQ(module().m_bHintShown, !row.leavesLine);
    EXPECT_EQ(module().m_bTextChanged, !row.leavesLine);
    EXPECT_EQ(surface().selLength(), 0);
    EXPECT_EQ(module().m_lDownLine, surface().lineFromChar(surface().selStart()));
    EXPECT_FALSE(control.m_bChange);
    EXPECT_EQ(sink.events, Events{"1007"});
  }
}

TEST_F(KeyReleaseTest, EscapeHidesTheListFirstAndTheHintOnTheNextPress) {
  given(u"IF", 2);
  press(vk::kF1);
  ShowHintForIndex(control, 1);
  control.m_bChange = false;
  sink.events.clear();
  press(vk::kEscape);
  EXPECT_FALSE(list().visible() || module().m_bListShown);
  EXPECT_TRUE(hint().visible() && module().m_bHintShown);
  press(vk::kEscape);
  EXPECT_FALSE(hint().visible() || module().m_bHintShown);
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);
  EXPECT_FALSE(control.m_bChange);
  EXPECT_EQ(sink.events, (Events{"1007", "1007"}));
}

TEST_F(KeyReleaseTest, OtherKeysColourTheSpanOnlyAfterATextChangeAndACaretMove) {
  struct Row {
    bool textChanged, caretMoved;
    const char16_t* expected;
  };
  for (const Row row : {Row{true, true, u"[IF] A"},
                        {true, false, u"IF A"},
                        {false, true, u"IF A"},
                        {false, false, u"IF A"}}) {
    given(u"IF A", 4);
    module().m_bTextChanged = row.textChanged;
    module().m_bCaretMoved = row.caretMoved;
    press(vk::kEnd);
    EXPECT_EQ(marked(), row.expected) << row.textChanged << row.caretMoved;
    EXPECT_EQ(surface().selStart(), 4);
    EXPECT_EQ(sink.events, Events{"1007"});
  }
}

TEST_F(KeyReleaseTest, WithoutKeywordColouringNoKeyDoesKeywordWork) {
  control.m_bKeywordHighlight = false;
  given(u"AND", 3);
  module().m_bTextChanged = module().m_bCaretMoved = true;
  press(vk::kEnd);
  press(vk::kF1);
  press(vk::kSpace);
  EXPECT_EQ(marked(), u"AND ");
  EXPECT_FALSE(list().visible() || hint().visible());
  EXPECT_TRUE(control.m_bChange);
  EXPECT_EQ(sink.events, (Events{"1007", "1007", "change", "1007"}));
}

// ---- Keys released with modifiers ----

TEST_F(KeyReleaseTest, KeyboardPastesRecolourTheFirstAndTheLastPastedLine) {
  struct Row {
    int16_t key, shift;
    bool change;  // Insert is no editing key
  };
  for (const Row row : {Row{vk::kV, kCtrlMask, true}, {vk::kInsert, kShiftMask, false}}) {
    given(u"IF A \r\nX", 5);
    platform.clipboard().setContent(Text(u"THEN\r\nQUIT"));
    press(row.key, row.shift);
    EXPECT_EQ(marked(), u"[IF] A [THEN]\r\n[QUIT]\r\nX");
    EXPECT_EQ(surface().selStart(), 15);
    EXPECT_EQ(control.m_bChange, row.change);
    EXPECT_EQ(sink.events, (Events{"change", "1007"}));
  }
}

TEST_F(KeyReleaseTest, KeyboardCutsRecolourTheCaretLine) {
  for (const auto& [key, shift] : {std::pair{vk::kX, kCtrlMask}, {vk::kDelete, kShiftMask}}) {
    given(u"IF A THEN", 3);
    surface().setSelLength(2);
    press(key, shift);
    EXPECT_EQ(marked(), u"[IF] [THEN]");
    EXPECT_EQ(platform.clipboard().content(), Text(u"A "));
    EXPECT_TRUE(control.m_bChange);
    EXPECT_EQ(sink.events, Events{"1007"}) << "removing two characters raises no onChange";
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
    EXPECT_FALSE(list().visible());
    EXPECT_TRUE(hint().visible() && module().m_bHintShown);
    EXPECT_EQ(hint().text(), u"tham so 1,tham so 2");
    EXPECT_EQ(sink.events.back(), "1007");
  }
}

// ---- The change flag and the end of the release ----

TEST_F(KeyReleaseTest, OnlyEditingKeysSetTheChangeFlag) {
  given(u"AB", 1);
  for (int16_t code : {16, 17, 18, 19,  20,  27,  33,  34,  35,  36,  37,  38,  39,  40,  44,
                       45, 91, 93, 113, 114, 115, 117, 118, 119, 120, 121, 122, 123, 144, 145}) {
    control.m_bChange = false;
    sink.events.clear();
    widgets.keyDown(code, 0);
    widgets.keyUp(code, 0);
    EXPECT_FALSE(control.m_bChange) << code;
    EXPECT_EQ(sink.events, Events{"1007"}) << code;
  }
  for (int16_t code :
       {8, 9, 46, 116, 15, 21, 26, 28, 32, 41, 43, 65, 92, 94, 124, 143, 146, 231, 112}) {
    control.m_bChange = false;
    sink.events.clear();
    widgets.keyDown(code, 0);
    widgets.keyUp(code, 0);
    EXPECT_TRUE(control.m_bChange) << code;
    EXPECT_EQ(sink.events.back(), "1007") << code;
  }
}

TEST_F(KeyReleaseTest, ALockedControlClearsTheChangeFlagOnEveryEditingKeyButEnter) {
  given(u"A\r\nB", 3);
  control.m_bLock = true;
  control.m_bChange = true;
  widgets.keyUp(vk::kF5, 0);
  EXPECT_FALSE(control.m_bChange);
  module().m_lDownLine = 0;
  widgets.keyUp(vk::kReturn, 0);
  EXPECT_TRUE(control.m_bChange);
  widgets.keyUp(vk::kLeft, 0);
  EXPECT_TRUE(control.m_bChange) << "not an editing key";
}

TEST_F(KeyReleaseTest, CopyKeepsTheChangeFlagAndPasteSetsItOnlyWithClipboardText) {
  given(u"IF", 0);
  surface().setSelLength(2);
  for (bool before : {false, true}) {
    control.m_bChange = before;
    press(vk::kC, kCtrlMask);
    EXPECT_EQ(control.m_bChange, before);
  }
  EXPECT_EQ(platform.clipboard().content(), Text(u"IF"));
  struct Row {
    std::optional<Text> clipboard;
    bool change;
  };
  for (const Row& row : {Row{std::nullopt, false}, {Text(), false}, {Text(u"X"), true}}) {
    platform.clipboard().setContent(row.clipboard);
    control.m_bChange = false;
    press(vk::kV, kCtrlMask);
    EXPECT_EQ(control.m_bChange, row.change);
  }
}

TEST_F(KeyReleaseTest, AtTheMaximumSizeEachEditingKeyWarnsOnceAndEndsTheRelease) {
  control.m_MaxLen = 4;
  control.m_strMaximumSize = u"At most %1";
  given(u"ABCD", 4);
  module().m_lDownLine = 7;
  widgets.type(u"xy");
  EXPECT_EQ(text(), u"ABCD");
  const auto boxes = platform.messageBoxes().drain();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, u"At most 4");
  EXPECT_TRUE(sink.events.empty());
  EXPECT_EQ(module().m_lDownLine, 7);
  EXPECT_FALSE(control.m_bTrackChanges);
  EXPECT_FALSE(control.m_bChange);

  // Backspace and Delete that remove nothing, and keys that do not edit: no warning.
  surface().setSelStart(0);
  press(vk::kBack);
  surface().setSelStart(4);
  press(vk::kDelete);
  press(vk::kLeft);
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
  EXPECT_EQ(sink.events, (Events{"1007", "1007", "1007"}));
  EXPECT_TRUE(control.m_bTrackChanges);
}

TEST_F(KeyReleaseTest, ALockedClipboardEndsTheCtrlVReleaseWithTheArrowPointer) {
  for (bool colouring : {true, false}) {
    control.m_bKeywordHighlight = colouring;
    given(u"IF", 2);
    platform.clipboard().setContent(Text(u"A"));
    widgets.keyDown(vk::kV, kCtrlMask);
    platform.clipboard().setLocked(true);
    control.SetHourGlassCursor();
    widgets.keyUp(vk::kV, kCtrlMask);
    platform.clipboard().setLocked(false);
    EXPECT_EQ(surface().mousePointer(), kPointerDefault) << colouring;
    EXPECT_TRUE(sink.events.empty());
    EXPECT_FALSE(control.m_bTrackChanges);
  }
}

// ---- The key press ----

TEST_F(KeyReleaseTest, EnterAndNavigationKeysRecordWhereTheyWentDown) {
  given(u"AB\r\nCD", 5);
  for (int16_t code : {13, 33, 34, 37, 38, 39, 40, 35, 36, 8, 65}) {
    const bool records = code <= 40 && code != 35 && code != 36 && code != 8 && code != 65;
    module().m_lDownCaret = module().m_lDownLine = module().m_lLastCaret = -1;
    widgets.keyDown(code, 0);
    EXPECT_EQ(module().m_lDownCaret, records ? 5 : -1) << code;
    EXPECT_EQ(module().m_lDownLine, records ? 1 : -1) << code;
    EXPECT_EQ(module().m_lLastCaret, 5);
    EXPECT_TRUE(control.m_bTrackChanges);
  }
}

TEST_F(KeyReleaseTest, CtrlVWithALockedClipboardIsSwallowedAndReported) {
  given(u"IF ", 3);
  platform.clipboard().setContent(Text(u"THEN"));
  int16_t code = vk::kV;
  int16_t shift = kCtrlMask;
  control.surfaceKeyDown(code, shift);
  EXPECT_EQ(code, vk::kV);
  EXPECT_EQ(platform.clipboard().content(), Text(u"THEN")) << "put back as plain text";
  EXPECT_TRUE(sink.events.empty());

  platform.clipboard().setLocked(true);
  control.SetHourGlassCursor();
  control.surfaceKeyDown(code, shift);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(surface().mousePointer(), kPointerDefault);
  EXPECT_EQ(sink.events, Events{"1008"});

  sink.events.clear();
  press(vk::kV, kCtrlMask);
  EXPECT_EQ(text(), u"IF ");
  EXPECT_EQ(sink.events, Events{"1008"}) << "the release fails too: no 1007";
}

// ---- Recording ----

TEST_F(KeyReleaseTest, ATypedCharacterRecordsOneSnapshotAndTheColouringNone) {
  given(u"IF ", 3);
  module().m_bCaretMoved = true;
  const int32_t before = snapshots();
  widgets.type(u"x");
  EXPECT_EQ(marked(), u"[IF] x");
  EXPECT_EQ(snapshots(), before + 1);
  EXPECT_EQ(control.m_colUndo.last().Text.str(), u"IF x");
  EXPECT_TRUE(control.m_bTrackChanges);

  platform.clipboard().setContent(Text(u" THEN\r\nQUIT"));
  press(vk::kV, kCtrlMask);
  EXPECT_EQ(marked(), u"[IF] x [THEN]\r\n[QUIT]");
  EXPECT_EQ(snapshots(), before + 2);
}

// ---- Tab ----

TEST_F(KeyReleaseTest, TabIndentsTheSelectionAndKeepsItSelected) {
  struct Row {
    const char16_t* text;
    int32_t start, length;
    const char16_t* result;
    int32_t selStart, selLength;
  };
  const Row rows[] = {
      {u"AB", 1, 0, u"A\tB", 2, 0},                        // one tab, the caret behind it
      {u"xabcx", 1, 3, u"x\tabcx", 2, 3},                  // the same text stays selected
      {u"A\r\nB\r\nC", 0, 7, u"\tA\r\n\tB\r\n\tC", 1, 9},  // from after the first tab
  };
  for (const Row& row : rows) {
    given(row.text, row.start);
    surface().setSelLength(row.length);
    const int32_t before = snapshots();
    press(vk::kTab);
    EXPECT_EQ(text(), row.result);
    EXPECT_EQ(surface().selStart(), row.selStart);
    EXPECT_EQ(surface().selLength(), row.selLength);
    EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface) << "the focus comes back";
    EXPECT_EQ(snapshots(), before + 1);
    EXPECT_EQ(sink.events, (Events{"change", "1007"}));
  }
}

TEST_F(KeyReleaseTest, ShiftTabAndATabWithoutFocusChange) {
  given(u"xabcx", 1);
  surface().setSelLength(3);
  const int32_t before = snapshots();
  press(vk::kTab, kShiftMask);
  EXPECT_EQ(text(), u"xabcx");
  EXPECT_EQ(snapshots(), before);
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);

  // A Tab that reaches the release without losing the focus keeps the hidden selection:
  // the tab goes before the selected text and nothing stays selected.
  surface().setSelStart(1);
  surface().setSelLength(3);
  surface().setHideSelection(true);
  widgets.keyUp(vk::kTab, 0);
  EXPECT_EQ(text(), u"x\tabcx");
  EXPECT_EQ(surface().selStart(), 5);
  EXPECT_EQ(surface().selLength(), 0);
}

}  // namespace
}  // namespace tavi
