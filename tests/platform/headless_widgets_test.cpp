// The other headless widgets and the thread-wide services: the sorted keyword list, the
// clipboard, the window system and the keyboard layout.
#include <gtest/gtest.h>

#include "headless/platform.h"
#include "headless/us_keyboard.h"
#include "support/error_number.h"

namespace tavi {
namespace {

using namespace headless;

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
