// The other headless widgets and the thread-wide services: the sorted keyword list, the
// gutter's paint record, the screen, the clipboard, the window system, the focus and the
// keyboard layout.
#include <gtest/gtest.h>

#include "headless/platform.h"
#include "headless/us_keyboard.h"
#include "platform/recording_listener.h"
#include "shell/runtime_error.h"

namespace tavi {
namespace {

using namespace headless;

std::vector<Text> itemsAfterAdding(std::initializer_list<const char16_t*> items) {
  FocusTracker focus;
  HeadlessListBox list(focus);
  for (const char16_t* item : items) list.addItem(item);
  return list.items();
}

TEST(HeadlessListBox, SortsIgnoringCaseWithABlankBeforeAnyLetter) {
  EXPECT_EQ(itemsAfterAdding({u"QUEUED", u"IDLE AGENT COUNT", u"QUEUE TO AGENT", u"and",
                              u"IDLE AGENT", u"AGE OF CALL"}),
            (std::vector<Text>{u"AGE OF CALL", u"and", u"IDLE AGENT", u"IDLE AGENT COUNT",
                               u"QUEUE TO AGENT", u"QUEUED"}));
}

TEST(HeadlessListBox, EqualItemsStayAdjacentInTheOrderAdded) {
  EXPECT_EQ(itemsAfterAdding(
                {u"WITH PRIORITY", u"WITH TREATMENT", u"with priority", u"WAIT", u"WITH PRIORITY"}),
            (std::vector<Text>{u"WAIT", u"WITH PRIORITY", u"with priority", u"WITH PRIORITY",
                               u"WITH TREATMENT"}));
}

TEST(HeadlessListBox, SelectionFollowsItsItemAndRejectsBadIndices) {
  FocusTracker focus;
  HeadlessListBox list(focus);
  list.addItem(u"OR");
  list.setListIndex(0);
  list.addItem(u"AND");
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_EQ(list.text(), u"OR");
  EXPECT_TRUE(list.selected(1));
  list.setSelected(0, true);
  EXPECT_EQ(list.text(), u"AND");
  list.setSelected(1, false);
  EXPECT_EQ(list.listIndex(), 0) << "unselecting another item changes nothing";
  list.setSelected(0, false);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.text(), u"");
  EXPECT_THROW(list.setListIndex(2), RuntimeError);
  EXPECT_THROW(list.setSelected(-1, true), RuntimeError);
  EXPECT_EQ(list.item(5), u"");
  EXPECT_EQ(list.width(), 160);
  EXPECT_EQ(list.height(), 128);
}

TEST(HeadlessGutterCanvas, RecordsTheLastPaintFromItsFill) {
  HeadlessGutterCanvas gutter;
  EXPECT_FALSE(gutter.lastPaint().has_value());
  gutter.setHeight(3000);
  const PixelRect client = gutter.clientRect();
  EXPECT_EQ(client.right, 48);
  EXPECT_EQ(client.bottom, 200);
  const PixelRect hy = gutter.measureText(u"Hy");
  EXPECT_EQ(hy.bottom - hy.top, 16);
  EXPECT_EQ(gutter.backColor(), static_cast<int32_t>(0x8000000F));

  gutter.fillRect(client, 0xF0F0F0);
  gutter.drawText({2, 0, 46, 16}, u"1", 0xA0A0A0, kDtRight);
  gutter.drawLine(47, 0, 47, 200, 0xA0A0A0);
  gutter.fillRect(client, 0x123456);
  gutter.drawText({2, 0, 46, 16}, u"7", 0, kDtRight);
  const GutterPaint& paint = *gutter.lastPaint();
  EXPECT_EQ(paint.fillColor, 0x123456);
  ASSERT_EQ(paint.texts.size(), 1u);
  EXPECT_EQ(paint.texts[0].text, u"7");
  EXPECT_TRUE(paint.lines.empty());
}

TEST(HeadlessScreen, ReportsHeldKeysCapsLockAndSystemColours) {
  HeadlessScreen screen;
  EXPECT_EQ(screen.keyState(vk::kTab), 0);
  screen.pressKey(vk::kTab);
  screen.pressKey(vk::kControl);
  EXPECT_LT(screen.keyState(vk::kTab), 0);
  EXPECT_EQ(screen.heldModifiers(), kCtrlMask);
  screen.setCapsLock(true);
  EXPECT_EQ(screen.keyState(vk::kCapital), 1) << "toggled, not held";
  EXPECT_EQ(screen.systemColor(15), 0xF0F0F0);
  EXPECT_EQ(screen.systemColor(16), 0xA0A0A0);
  EXPECT_EQ(screen.systemColor(8), 0x000000);
  EXPECT_FALSE(screen.systemColor(25).has_value());
  EXPECT_FALSE(screen.systemColor(31).has_value());
  EXPECT_FALSE(screen.systemColor(-1).has_value());
}

TEST(HeadlessClipboard, ALockedClipboardFailsEveryAccessWith521) {
  HeadlessClipboard clipboard;
  EXPECT_FALSE(clipboard.text().has_value());
  clipboard.setText(u"x");
  clipboard.setLocked(true);
  for (auto access : {+[](Clipboard& c) { c.text(); }, +[](Clipboard& c) { c.setText(u"y"); },
                      +[](Clipboard& c) { c.clear(); }}) {
    try {
      access(clipboard);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), 521);
    }
  }
  EXPECT_EQ(clipboard.content(), Text(u"x"));
  clipboard.setLocked(false);
  clipboard.clear();
  EXPECT_FALSE(clipboard.text().has_value());
}

// Two hooks on one window, each passing the message on to the one it replaced.
struct Chain {
  static inline HeadlessWindowSystem* windows = nullptr;
  static inline WindowProc first = nullptr;
  static inline WindowProc second = nullptr;
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
  HeadlessWindowSystem windows;
  const intptr_t hwnd = windows.createWindow();
  EXPECT_NE(windows.createWindow(), hwnd);
  Chain::windows = &windows;
  Chain::first = windows.setWindowProc(hwnd, &Chain::inner);
  Chain::second = windows.setWindowProc(hwnd, &Chain::outer);
  EXPECT_EQ(Chain::second, &Chain::inner);
  EXPECT_EQ(windows.sendMessage(hwnd, kWmVScroll, 4), 11);
  EXPECT_EQ(Chain::calls, (std::vector<std::string>{"outer", "inner 277 4"}));
  EXPECT_EQ(windows.sendMessage(0x1234, kWmVScroll), 0) << "no such window";
}

TEST(FocusTracker, AHandlerOfTheLossMayTakeTheFocusBack) {
  HeadlessPlatform platform;
  HeadlessEditSurface& a = platform.createControl().surface();
  HeadlessEditSurface& b = platform.createControl().surface();
  testing::RecordingListener la, lb;
  a.setListener(&la);
  b.setListener(&lb);
  a.setFocus();
  b.setFocus();
  EXPECT_EQ(la.events, (std::vector<std::string>{"GotFocus", "LostFocus"}));
  EXPECT_EQ(lb.events, (std::vector<std::string>{"GotFocus"}));
  lb.onLostFocus = [&] { b.setFocus(); };
  a.setFocus();
  EXPECT_TRUE(b.hasFocus());
  EXPECT_EQ(la.events.size(), 2u) << "a never heard that it had the focus";
}

TEST(UsKeyboard, EveryPrintableAsciiCharacterHasAKeyThatTypesIt) {
  for (char16_t c = 32; c < 127; ++c) {
    const std::optional<KeyStroke> stroke = keyForChar(c);
    ASSERT_TRUE(stroke.has_value()) << static_cast<int>(c);
    EXPECT_EQ(charForKey(stroke->virtualKey, stroke->shift, false), c) << static_cast<int>(c);
  }
  EXPECT_EQ(keyForChar(u'é'), std::nullopt);
  EXPECT_EQ(charForKey('A', false, true), u'A');
  EXPECT_EQ(charForKey('A', true, true), u'a');
  EXPECT_EQ(charForKey(99, false, false), u'3') << "keypad";
  EXPECT_EQ(charForKey(vk::kLeft, false, false), std::nullopt);
}

}  // namespace
}  // namespace tavi
