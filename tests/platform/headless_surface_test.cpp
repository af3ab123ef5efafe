// The headless editing surface as the control's code and a person at the keyboard and mouse
// see it: replacement within the maximum length, formats, find, the viewport, the edit
// messages, the order of notifications, the surface's own keys and the focus round trip;
// then the other headless widgets and the thread-wide services: the sorted keyword list, the
// clipboard, the window system and the keyboard layout.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "headless/platform.h"
#include "headless/us_keyboard.h"
#include "shell/runtime_error.h"
#include "support/error_number.h"

namespace tavi {
namespace {

using namespace headless;
using Events = std::vector<std::string>;

// Writes down every notification, in order, as short strings ("KeyDown 65 1", "Change"), and
// lets a test swallow keys or react to a loss of the focus.
class RecordingListener : public SurfaceListener {
 public:
  std::vector<std::string> events;
  std::function<void(int16_t& keyCode)> onKeyDown;
  std::function<void()> onLostFocus;

  void surfaceGotFocus() override { events.push_back("GotFocus"); }
  void surfaceLostFocus() override {
    events.push_back("LostFocus");
    if (onLostFocus) onLostFocus();
  }
  void surfaceChanged() override { events.push_back("Change"); }
  void surfaceKeyDown(int16_t& keyCode, int16_t& shift) override {
    log("KeyDown", {keyCode, shift});
    if (onKeyDown) onKeyDown(keyCode);
  }
  void surfaceKeyUp(int16_t& keyCode, int16_t& shift) override { log("KeyUp", {keyCode, shift}); }
  void surfaceMouseDown(int16_t button, int16_t shift, float x, float y) override {
    log("MouseDown", {button, shift, static_cast<int>(x), static_cast<int>(y)});
  }
  void surfaceMouseUp(int16_t button, int16_t shift, float x, float y) override {
    log("MouseUp", {button, shift, static_cast<int>(x), static_cast<int>(y)});
  }

 private:
  void log(std::string what, std::initializer_list<int> values) {
    for (const int v : values) what += " " + std::to_string(v);
    events.push_back(what);
  }
};

class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() { s.setListener(&listener); }

  void load(TextView text, int32_t start = 0, int32_t length = 0, int32_t maxLength = 0) {
    s.setMaxLength(0);
    select(0, s.textLength());
    s.replaceSelection(text);
    select(start, length);
    s.setMaxLength(maxLength);
    listener.events.clear();
  }
  void select(int32_t start, int32_t length) {
    s.setSelStart(start);
    s.setSelLength(length);
  }

  HeadlessPlatform platform;
  HeadlessControl& control = platform.createControl();
  HeadlessEditSurface& s = control.surface();
  RecordingListener listener;
};

// The text and formats a replacement leaves are checked against a plain model by the storage
// test.
TEST_F(SurfaceTest, ReplaceSelectionRaisesAChangeOnlyForAnEdit) {
  load(u"Hello", 1, 3);
  s.replaceSelection(u"");
  s.replaceSelection(u"");  // nothing by nothing
  s.replaceSelection(u"i");
  EXPECT_EQ(listener.events, (Events{"Change", "Change"}));
}

// replaceSelection inserts what fits; typing refuses a key whose text does not fit whole.
TEST_F(SurfaceTest, InsertionStopsAtTheMaximumLengthWithoutSplittingAPair) {
  using Case = std::tuple<const char16_t*, int32_t, int32_t, int32_t, const char16_t*,
                          const char16_t*, const char16_t*>;
  const Case cases[] = {
      {u"abc", 3, 0, 5, u"defg", u"abcde", u"abcde"},
      {u"abc", 1, 2, 5, u"xyzw", u"axyzw", u"axyzw"},  // the selection's room counts
      {u"ab", 2, 0, 3, u"\r\nc", u"ab", u"abc"},
      {u"ab", 2, 0, 4, u"\r\nc", u"ab\r\n", u"ab\r\n"},
      {u"ab", 2, 0, 3, u"\U0001F600", u"ab", u"ab"},
      {u"abcdef", 0, 1, 3, u"XY", u"bcdef", u"abcdef"},  // too long already
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    const auto& [text, start, length, maxLength, insert, replaced, typed] = c;
    load(text, start, length, maxLength);
    s.replaceSelection(insert);
    EXPECT_EQ(s.text(), replaced);
    load(text, start, length, maxLength);
    control.type(insert);
    EXPECT_EQ(s.text(), typed);
  }
}

// Case, whole words and ranges within the text are checked against a plain model by the
// storage test; here the ends of the text and bounds beyond them.
TEST_F(SurfaceTest, FindWithinTheTextAndItsBounds) {
  load(u"IF X THEN\r\nENDIF if");
  using Case = std::tuple<const char16_t*, int32_t, int32_t, int, int32_t>;
  const Case cases[] = {
      {u"F", 0, -1, kFindWholeWord, -1},  // a word character before it, at the start of the text
      {u"i", 0, -1, kFindWholeWord, -1},  // and after it, at the end
      {u"THEN", -5, 9, 0, 5},
      {u"X", 3, 1, 0, -1},  // an end before the start is the start
      {u"f", 99, -1, 0, -1},
  };
  for (const auto& [what, start, end, options, expected] : cases)
    EXPECT_EQ(s.find(what, start, end, options), expected) << start << " " << end;
  EXPECT_EQ(s.selText(), u"THEN") << "the last match found stays selected";
}

TEST_F(SurfaceTest, AKeystrokeIsKeyDownChangeKeyUpWithShiftAsAKeyOfItsOwn) {
  // Caps Lock: upper case without Shift, punctuation unchanged. (Without it: every typing
  // scenario's events.)
  control.focus(FocusPlace::kSurface);
  platform.screen().setCapsLock(true);
  listener.events.clear();
  control.type(u"Ab;");
  const Events capsLock = {"KeyDown 65 0",  "Change", "KeyUp 65 0", "KeyDown 16 1",
                           "KeyDown 66 1",  "Change", "KeyUp 66 1", "KeyUp 16 0",
                           "KeyDown 186 0", "Change", "KeyUp 186 0"};
  EXPECT_EQ(listener.events, capsLock);
  listener.onKeyDown = [](int16_t& keyCode) { keyCode = 0; };
  listener.events.clear();
  control.key(vk::kReturn, 0);
  EXPECT_EQ(s.text(), u"Ab;") << "a swallowed key is not acted on";
  EXPECT_EQ(listener.events, (Events{"KeyDown 13 0", "KeyUp 13 0"}));
}

TEST_F(SurfaceTest, CaretKeysDeletionAndTheViewportTakeCrLfAsOneCharacter) {
  s.setHeight(100);
  EXPECT_EQ(s.visibleRows(), 1) << "never fewer than one row";
  EXPECT_THROW(s.setHeight(-15), RuntimeError);
  s.setHeight(960);  // 4 rows
  load(u"abcdef\r\nab\r\nabcd\r\n3\r\n4\r\n5\r\n6\r\n7", 5);
  control.key(vk::kDown, 0);  // the goal column: the caret_keys scenario
  control.key(vk::kDown, 0);
  control.key(vk::kLeft, 0);
  control.key(vk::kLeft, 0);
  for (int i = 0; i < 3; ++i) control.key(vk::kRight, kShiftMask);
  control.key(vk::kLeft, kShiftMask);
  EXPECT_EQ(s.selText(), u"cd");
  control.key(vk::kRight, kShiftMask);
  control.key(vk::kRight, 0);
  control.key(vk::kBack, 0);
  EXPECT_EQ(s.text(), u"abcdef\r\nab\r\nabcd3\r\n4\r\n5\r\n6\r\n7");
  control.key(vk::kHome, 0);
  control.key(vk::kNext, 0);
  EXPECT_EQ(s.selStart(), s.lineStart(6));
  EXPECT_EQ(s.firstVisibleLine(), 3) << "the last page ends with the last line";
  s.scrollTo(-3);
  EXPECT_EQ(s.firstVisibleLine(), 0);
  EXPECT_EQ(s.caretPosition().y, 96) << "the scroll bar leaves the caret where it is";
}

// A caret asked for inside a surrogate pair stands before it, and so does an empty range; a
// range takes the pair whole at either end. (CR LF: the storage test and the line_breaks
// scenario.)
TEST_F(SurfaceTest, SelectionsTakeWholeSurrogatePairs) {
  load(u"y\U0001F600z");
  struct Case {
    int32_t start, length, selStart, selLength;
  };
  const Case cases[] = {
      {.start = 2, .length = 0, .selStart = 1, .selLength = 0},
      {.start = 2, .length = 1, .selStart = 1, .selLength = 2},
      {.start = 2, .length = 2, .selStart = 1, .selLength = 3},  // from the start asked for
      {.start = 0, .length = 2, .selStart = 0, .selLength = 3},
  };
  for (const Case& c : cases) {
    select(c.start, c.length);
    EXPECT_EQ(std::pair(s.selStart(), s.selLength()), std::pair(c.selStart, c.selLength))
        << c.start << " " << c.length;
  }
}

TEST_F(SurfaceTest, ClipboardKeysAndMessagesAndALockedSurface) {
  HeadlessClipboard& clipboard = platform.clipboard();
  load(u"abc", 3, 0, 6);
  clipboard.setContent(u"12345");
  control.key(vk::kV, kCtrlMask);
  EXPECT_EQ(s.text(), u"abc123") << "a paste inserts what fits";
  select(0, 2);
  control.key(vk::kDelete, kShiftMask);
  EXPECT_EQ(s.text(), u"c123");
  control.key(vk::kInsert, kShiftMask);
  EXPECT_EQ(s.text(), u"abc123");
  s.sendEditMessage(kWmCopy);
  EXPECT_EQ(clipboard.content(), Text(u"ab")) << "copying nothing leaves the clipboard";
  select(0, 4);
  s.sendEditMessage(kWmCut);
  EXPECT_EQ(s.text(), u"23");
  EXPECT_EQ(clipboard.content(), Text(u"abc1"));

  clipboard.setLocked(true);  // the keys fail silently, the messages report
  EXPECT_NO_THROW(control.key(vk::kV, kCtrlMask));
  select(0, 1);
  EXPECT_THROW(s.sendEditMessage(kWmCopy), RuntimeError);
  EXPECT_EQ(s.text(), u"23");

  clipboard.setLocked(false);
  s.setLocked(true);
  s.sendEditMessage(kWmCut);
  for (const int16_t key : {vk::kBack, vk::kDelete, vk::kReturn, vk::kV}) control.key(key, 0);
  control.key(vk::kX, kCtrlMask);
  control.key(vk::kV, kCtrlMask);
  EXPECT_EQ(s.text(), u"23");
  control.key(vk::kRight, 0);
  EXPECT_EQ(s.selStart(), 1) << "caret keys still work";
}

TEST_F(SurfaceTest, TabLeavesWhileHeldAndTheListenerCanTakeTheFocusBack) {
  control.focus(FocusPlace::kSurface);
  listener.events.clear();
  listener.onLostFocus = [&] {
    if (platform.screen().keyState(vk::kTab) < 0) s.setFocus();
  };
  control.key(vk::kTab, 0);
  EXPECT_EQ(listener.events, (Events{"KeyDown 9 0", "LostFocus", "GotFocus", "KeyUp 9 0"}));
  listener.onLostFocus = nullptr;
  listener.events.clear();
  control.key(vk::kTab, 0);
  EXPECT_EQ(listener.events, (Events{"KeyDown 9 0", "LostFocus"})) << "the key-up goes elsewhere";
  EXPECT_EQ(control.focusPlace(), FocusPlace::kAway);

  // Taken back from another control's surface, which then never hears of its gain.
  HeadlessEditSurface& other = platform.createControl().surface();
  RecordingListener otherListener;
  other.setListener(&otherListener);
  s.setFocus();
  listener.onLostFocus = [&] { s.setFocus(); };
  other.setFocus();
  EXPECT_EQ(control.focusPlace(), FocusPlace::kSurface);
  EXPECT_TRUE(otherListener.events.empty());
  listener.onLostFocus = nullptr;
  listener.onKeyDown = [&](int16_t&) { other.setFocus(); };
  control.type(u"x");
  EXPECT_EQ(s.text(), u"") << "a key acts only if the surface keeps the focus through KeyDown";
}

TEST_F(SurfaceTest, TheMousePlacesTheCaretOnTheGridAndShiftExtends) {
  load(u"abc\r\ndefgh");
  control.click(13, 20);
  EXPECT_EQ(s.selStart(), 7) << "line 1, column round(13 / 8) = 2";
  EXPECT_EQ(listener.events, (Events{"GotFocus", "MouseDown 1 0 195 300", "MouseUp 1 0 195 300"}));
  control.click(200, 0);
  EXPECT_EQ(s.selStart(), 3) << "clamped to the line, before its CR LF";
  control.rightClick(0, 0);
  control.mouseDown(1, kShiftMask, 8, 20);
  EXPECT_EQ(s.selText(), u"\r\nd") << "a right press leaves the caret, Shift extends";
}

TEST(HeadlessListBox, SortsIgnoringCaseWithABlankFirstAndEqualItemsInTheOrderAdded) {
  FocusTracker focus;
  HeadlessListBox list(focus);
  for (const char16_t* item : {u"QUEUED", u"WITH P", u"QUEUE TO AGENT", u"With p"})
    list.addItem(item);
  list.setListIndex(2);
  list.addItem(u"and");
  EXPECT_EQ(list.items(),
            (std::vector<Text>{u"and", u"QUEUE TO AGENT", u"QUEUED", u"WITH P", u"With p"}));
  EXPECT_EQ(list.text(), u"WITH P") << "the selection stays on its item";
  list.setSelected(4, false);
  EXPECT_EQ(list.listIndex(), 3) << "unselecting another item changes nothing";
  list.setSelected(3, false);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_THROW(list.setListIndex(5), RuntimeError);
}

// The system colours are checked through the gutter's paints.
TEST(HeadlessClipboard, ALockedClipboardFailsWith521AndKeepsItsText) {
  HeadlessClipboard clipboard;
  clipboard.setText(u"x");
  clipboard.setLocked(true);
  for (auto access : {+[](Clipboard& c) { c.text(); }, +[](Clipboard& c) { c.setText(u"y"); },
                      +[](Clipboard& c) { c.clear(); }})
    EXPECT_EQ(testing::errorNumberOf([&] { access(clipboard); }), 521);
  EXPECT_EQ(clipboard.content(), Text(u"x"));
}

// Two hooks on the surface's window, each passing the message on to the one it replaced.
struct Chain {
  static inline HeadlessWindowSystem* windows = nullptr;
  static inline WindowProc first = nullptr, second = nullptr;
  static inline std::vector<std::string> calls;
  static intptr_t outer(intptr_t hwnd, uint32_t message, intptr_t w, intptr_t l) {
    calls.push_back("outer");
    return windows->callWindowProc(second, hwnd, message, w, l) + 1;
  }
  static intptr_t inner(intptr_t hwnd, uint32_t message, intptr_t w, intptr_t l) {
    calls.push_back("inner " + std::to_string(message) + " " + std::to_string(w));
    return windows->callWindowProc(first, hwnd, message, w, l) + 10;
  }
};

TEST(HeadlessWindowSystem, MessagesRunThroughTheProcedureChain) {
  HeadlessPlatform platform;
  HeadlessControl& control = platform.createControl();
  HeadlessWindowSystem& windows = platform.windows();
  const intptr_t hwnd = control.surface().windowHandle();
  Chain::windows = &windows;
  Chain::calls.clear();  // the hooks' record outlives the test
  Chain::first = windows.setWindowProc(hwnd, &Chain::inner);
  EXPECT_EQ(Chain::first, &HeadlessWindowSystem::defaultWindowProc);
  Chain::second = windows.setWindowProc(hwnd, &Chain::outer);
  EXPECT_EQ(Chain::second, &Chain::inner);
  EXPECT_EQ(windows.sendMessage(hwnd, kWmVScroll, 4), 11);
  control.surface().replaceSelection(u"0\r\n1\r\n2\r\n3");
  control.scroll(9);  // the scroll bar dragged: clamped, then SB_THUMBPOSITION (4) with the line
  EXPECT_EQ(control.surface().firstVisibleLine(), 3);
  const std::vector<std::string> calls = {"outer", "inner 277 4", "outer",
                                          "inner 277 " + std::to_string(3 << 16 | 4)};
  EXPECT_EQ(Chain::calls, calls);
  windows.setWindowProc(hwnd, Chain::first);
  control.scroll(0);
  EXPECT_EQ(Chain::calls, calls) << "unhooked";
  EXPECT_NE(windows.createWindow(), hwnd);
  EXPECT_EQ(windows.sendMessage(0x1234, kWmVScroll), 0) << "no such window";
  EXPECT_EQ(windows.setWindowProc(0x1234, &Chain::inner), nullptr);
}

TEST(UsKeyboard, EveryPrintableAsciiCharacterHasAKeyThatTypesIt) {
  for (char16_t c = 32; c < 127; ++c) {
    const std::optional<KeyStroke> stroke = keyForChar(c);
    ASSERT_TRUE(stroke.has_value()) << static_cast<int>(c);
    EXPECT_EQ(charForKey(stroke->virtualKey, stroke->shift, false), c) << static_cast<int>(c);
  }
  EXPECT_EQ(keyForChar(u'é'), std::nullopt);
  EXPECT_EQ(charForKey('A', true, true), u'a') << "Caps Lock and Shift";
  EXPECT_EQ(charForKey(222, true, true), u'"') << "Caps Lock leaves punctuation";
  EXPECT_EQ(charForKey(99, false, false), u'3') << "keypad";
}

}  // namespace
}  // namespace tavi
