// A person at the headless control's keyboard and mouse: the order of notifications, the
// surface's own key actions, the focus round trips and the scroll bar.
#include <gtest/gtest.h>

#include "headless/platform.h"
#include "headless/us_keyboard.h"
#include "platform/recording_listener.h"

namespace tavi {
namespace {

using namespace headless;

using Events = std::vector<std::string>;

class InputTest : public ::testing::Test {
 protected:
  InputTest() { s.setListener(&listener); }

  void load(TextView text, int32_t caret) {
    s.setSelStart(0);
    s.setSelLength(s.textLength());
    s.replaceSelection(text);
    s.setSelStart(caret);
    listener.events.clear();
  }

  HeadlessPlatform platform;
  HeadlessControl& control = platform.createControl();
  HeadlessEditSurface& s = control.surface();
  testing::RecordingListener listener;
};

TEST_F(InputTest, TypingRaisesKeyDownChangeKeyUpWithShiftAsAKeyOfItsOwn) {
  control.type(u"aB\n");
  EXPECT_EQ(s.text(), u"aB\r\n");
  const Events expected = {"GotFocus",     "KeyDown 65 0", "Change", "KeyUp 65 0",
                           "KeyDown 16 1", "KeyDown 66 1", "Change", "KeyUp 66 1",
                           "KeyUp 16 0",   "KeyDown 13 0", "Change", "KeyUp 13 0"};
  EXPECT_EQ(listener.events, expected);
  EXPECT_FALSE(platform.screen().isKeyDown(16));
}

TEST_F(InputTest, CapsLockGivesUpperCaseAndShiftGivesLowerCase) {
  platform.screen().setCapsLock(true);
  control.type(u"Ab");
  EXPECT_EQ(s.text(), u"Ab");
  EXPECT_EQ(listener.events[1], "KeyDown 65 0");
  EXPECT_EQ(listener.events[4], "KeyDown 16 1");
  control.type(u"\"1;");
  EXPECT_EQ(s.text(), u"Ab\"1;");
  EXPECT_EQ(listener.count("KeyDown 222 1"), 1) << "punctuation ignores Caps Lock";
  EXPECT_EQ(listener.count("KeyDown 49 0"), 1);
  EXPECT_EQ(listener.count("KeyDown 186 0"), 1);
}

TEST_F(InputTest, ASwallowedKeyIsNotActedOnButStillReleased) {
  listener.onKeyDown = [](int16_t& keyCode, int16_t&) { keyCode = 0; };
  control.type(u"x");
  control.key(vk::kReturn, 0);
  EXPECT_EQ(s.text(), u"");
  EXPECT_EQ(listener.events,
            (Events{"GotFocus", "KeyDown 88 0", "KeyUp 88 0", "KeyDown 13 0", "KeyUp 13 0"}));
}

TEST_F(InputTest, TypingRespectsTheMaximumLengthAndTheLock) {
  load(u"ab", 2);
  s.setMaxLength(3);
  control.type(u"cd");
  EXPECT_EQ(s.text(), u"abc");
  s.setMaxLength(4);
  control.type(u"\n");
  EXPECT_EQ(s.text(), u"abc") << "CR LF needs two units";
  s.setSelStart(0);
  s.setSelLength(2);
  control.type(u"\n");
  EXPECT_EQ(s.text(), u"\r\nc");

  s.setLocked(true);
  control.type(u"z");
  control.key(vk::kBack, 0);
  control.key(vk::kX, kCtrlMask);
  EXPECT_EQ(s.text(), u"\r\nc");
  control.key(vk::kLeft, 0);
  EXPECT_EQ(s.selStart(), 0) << "caret keys still work";
}

TEST_F(InputTest, BackspaceAndDeleteTakeCrLfAsOneCharacter) {
  load(u"ab\r\ncd", 4);
  control.key(vk::kBack, 0);
  EXPECT_EQ(s.text(), u"abcd");
  EXPECT_EQ(s.selStart(), 2);
  load(u"ab\r\ncd", 2);
  control.key(vk::kDelete, 0);
  EXPECT_EQ(s.text(), u"abcd");
  control.key(vk::kLeft, 0);
  control.key(vk::kBack, 0);
  EXPECT_EQ(s.text(), u"bcd");
  s.setSelStart(3);
  control.key(vk::kDelete, 0);
  EXPECT_EQ(s.text(), u"bcd") << "nothing after the end";
}

TEST_F(InputTest, CaretKeysMoveByCharactersLinesAndPages) {
  s.setHeight(960);  // 4 rows
  load(u"abcdef\r\nab\r\nabcd\r\n3\r\n4\r\n5\r\n6\r\n7", 5);
  control.key(vk::kDown, 0);
  EXPECT_EQ(s.selStart(), 10) << "column clamped to the shorter line";
  control.key(vk::kDown, 0);
  EXPECT_EQ(s.selStart(), 14);
  for (int i = 0; i < 3; ++i) control.key(vk::kRight, kShiftMask);
  EXPECT_EQ(s.selStart(), 14);
  EXPECT_EQ(s.selLength(), 4) << "Shift+Right over CR LF";
  control.key(vk::kLeft, kShiftMask);
  EXPECT_EQ(s.selLength(), 2);
  control.key(vk::kRight, 0);
  EXPECT_EQ(s.selStart(), 16);
  EXPECT_EQ(s.selLength(), 0);
  control.key(vk::kHome, 0);
  EXPECT_EQ(s.selStart(), 12);
  control.key(vk::kEnd, 0);
  EXPECT_EQ(s.selStart(), 16);
  control.key(vk::kNext, 0);
  EXPECT_EQ(s.lineFromChar(-1), 6);
  EXPECT_EQ(s.firstVisibleLine(), 4);
  control.key(vk::kEnd, kCtrlMask);
  EXPECT_EQ(s.selStart(), s.textLength());
}

TEST_F(InputTest, KeyboardClipboardShortcuts) {
  HeadlessClipboard& clipboard = platform.clipboard();
  load(u"abc", 3);
  s.setMaxLength(6);
  clipboard.setContent(u"12345");
  control.key(vk::kV, kCtrlMask);
  EXPECT_EQ(s.text(), u"abc123") << "only what fits";
  s.setSelStart(0);
  s.setSelLength(2);
  control.key(vk::kInsert, kCtrlMask);
  EXPECT_EQ(clipboard.content(), Text(u"ab"));
  control.key(vk::kDelete, kShiftMask);
  EXPECT_EQ(s.text(), u"c123");
  control.key(vk::kInsert, kShiftMask);
  EXPECT_EQ(s.text(), u"abc123");
  clipboard.setLocked(true);
  s.setSelStart(0);
  EXPECT_NO_THROW(control.key(vk::kV, kCtrlMask));
  EXPECT_EQ(s.text(), u"abc123");
}

TEST_F(InputTest, TabLeavesWhileHeldAndTheListenerCanTakeTheFocusBack) {
  control.focus(FocusPlace::kSurface);
  listener.events.clear();
  listener.onLostFocus = [&] {
    if (platform.screen().keyState(vk::kTab) < 0) s.setFocus();
  };
  control.key(vk::kTab, 0);
  EXPECT_EQ(listener.events, (Events{"KeyDown 9 0", "LostFocus", "GotFocus", "KeyUp 9 0"}));
  EXPECT_EQ(control.focusPlace(), FocusPlace::kSurface);
  EXPECT_GE(platform.screen().keyState(vk::kTab), 0);

  listener.onLostFocus = nullptr;
  listener.events.clear();
  control.key(vk::kTab, 0);
  EXPECT_EQ(listener.events, (Events{"KeyDown 9 0", "LostFocus"})) << "the key-up goes elsewhere";
  EXPECT_EQ(control.focusPlace(), FocusPlace::kAway);
}

TEST_F(InputTest, KeysGoToTheListWhileItHasTheFocus) {
  HeadlessListBox& list = control.list();
  for (const char16_t* item : {u"AND", u"IF", u"OR"}) list.addItem(item);
  control.focus(FocusPlace::kSurface);
  list.setListIndex(0);
  list.setFocus();
  EXPECT_EQ(list.focusRequests(), 1);
  listener.events.clear();
  control.key(vk::kDown, 0);
  control.key(vk::kDown, 0);
  control.key(vk::kDown, 0);
  EXPECT_EQ(list.text(), u"OR");
  control.key(vk::kUp, 0);
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_TRUE(listener.events.empty());
  control.key(vk::kReturn, 0);
  EXPECT_EQ(control.focusPlace(), FocusPlace::kSurface);
  EXPECT_EQ(listener.events, Events{"GotFocus"});
  EXPECT_EQ(s.text(), u"");

  list.setFocus();
  control.clickListItem(2);
  EXPECT_EQ(list.listIndex(), 2);
  EXPECT_EQ(control.focusPlace(), FocusPlace::kSurface);
}

TEST_F(InputTest, ALeftPressPlacesTheCaretOnTheGrid) {
  load(u"abc\r\ndefgh", 0);
  control.click(13, 20);
  EXPECT_EQ(s.selStart(), 7) << "line 1, column round(13 / 8) = 2";
  EXPECT_EQ(listener.events, (Events{"GotFocus", "MouseDown 1 0 195 300", "MouseUp 1 0 195 300"}));
  control.click(200, 0);
  EXPECT_EQ(s.selStart(), 3) << "clamped to the line, before its CR LF";
  control.click(-5, 500);
  EXPECT_EQ(s.selStart(), 5);
  control.rightClick(0, 0);
  EXPECT_EQ(s.selStart(), 5) << "a right press leaves the caret";
  control.mouseDown(1, kShiftMask, 16, 0);
  EXPECT_EQ(s.selStart(), 2);
  EXPECT_EQ(s.selLength(), 3) << "Shift extends the selection";
}

TEST_F(InputTest, SelectingWithTheMousePressesAtTheStartAndReleasesAtTheEnd) {
  load(u"abc\r\ndefgh", 0);
  control.select(1, 6);
  EXPECT_EQ(s.selStart(), 1);
  EXPECT_EQ(s.selLength(), 6);
  EXPECT_EQ(listener.events, (Events{"GotFocus", "MouseDown 1 0 120 0", "MouseUp 1 0 240 240"}));
}

struct ScrollHook {
  static inline WindowProc previous = nullptr;
  static inline HeadlessWindowSystem* windows = nullptr;
  static inline std::vector<uint32_t> seen;
  static intptr_t proc(intptr_t hwnd, uint32_t message, intptr_t wParam, intptr_t lParam) {
    seen.push_back(message);
    return windows->callWindowProc(previous, hwnd, message, wParam, lParam);
  }
};

TEST_F(InputTest, ScrollingDeliversVScrollThroughTheWindowProcedureChain) {
  HeadlessWindowSystem& windows = platform.windows();
  load(u"0\r\n1\r\n2\r\n3", 0);
  ScrollHook::windows = &windows;
  ScrollHook::seen.clear();
  ScrollHook::previous = windows.setWindowProc(s.windowHandle(), &ScrollHook::proc);
  EXPECT_EQ(ScrollHook::previous, &HeadlessWindowSystem::defaultWindowProc);
  control.scroll(9);
  EXPECT_EQ(s.firstVisibleLine(), 3);
  EXPECT_EQ(ScrollHook::seen, std::vector<uint32_t>{kWmVScroll});
  windows.setWindowProc(s.windowHandle(), ScrollHook::previous);
  control.scroll(0);
  EXPECT_EQ(ScrollHook::seen.size(), 1u) << "unhooked";
  EXPECT_EQ(windows.setWindowProc(0x7777, &ScrollHook::proc), nullptr) << "no such window";
}

}  // namespace
}  // namespace tavi
