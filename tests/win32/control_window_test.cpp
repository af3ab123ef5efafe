// The control in real Windows widgets, driven with window messages as a person's keyboard
// and mouse give them. Typed keywords (their colours and the events of every key) and the
// gutter's repaint at the timer's tick are checked in a real container by tavi-host --test,
// the picture for a container by com_test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <semaphore>
#include <thread>
#include <vector>

#include "control_fixture.h"
#include "shell/module_state.h"
#include "win32/widgets/edit_surface.h"
#include "win32/widgets/window_system.h"

namespace tavi {
namespace {

using testing::ClipboardHeldElsewhere;
using testing::ControlFixture;
using testing::errorOf;
using testing::pumpMessages;
using testing::ShownControlFixture;

using ControlWindowTest = ControlFixture;
using ShownControlWindowTest = ShownControlFixture;

// Shown among the editor's children (the control itself may be hidden).
bool shown(HWND child) { return (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0; }

Text listText(HWND list, LRESULT index) {
  wchar_t buffer[128] = {};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  return Text(reinterpret_cast<const char16_t*>(buffer));
}

// Every line break is CR LF and counts two, in the text read back, the length and the
// caret; text outside the ANSI code page survives, loaded or typed (the surface's own line
// break rules are checked in widgets_test).
TEST_F(ControlWindowTest, TextRoundTripsWithCrLfCountingTwo) {
  load(u"IF\nWAIT \u0416\u6F22 \U0001D11E");
  const std::u16string_view loaded = u"IF\r\nWAIT \u0416\u6F22 \U0001D11E";
  EXPECT_EQ(value(), loaded);
  EXPECT_EQ(control->getLength().i4(), 12);  // characters other than CR and LF
  EXPECT_EQ(window.widgets().editor->selStart(), static_cast<int32_t>(loaded.size()));
  type(u"\n\u0416");
  key(VK_PACKET, 0xD834);  // a character beyond the BMP comes as two WM_CHARs
  SendMessageW(editor(), WM_CHAR, 0xDD1E, 1);
  EXPECT_EQ(value(), std::u16string(loaded) + u"\r\n\u0416\U0001D11E");
}

TEST_F(ControlWindowTest, TheHintShowsItsTextBesideTheCaretAfterAKeyword) {
  type(u"WAIT 2\nAND ");
  ASSERT_TRUE(shown(hint()));
  POINTL caret{};  // behind the blank
  SendMessageW(editor(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), 12);
  wchar_t text[64] = {};
  GetWindowTextW(hint(), text, 64);
  EXPECT_STREQ(text, L"tham so 1,tham so 2,tham so 3");
  RECT at{};
  GetWindowRect(hint(), &at);
  MapWindowPoints(HWND_DESKTOP, editor(), reinterpret_cast<POINT*>(&at), 2);
  EXPECT_EQ(at.left, caret.x + 3 + 32) << "right of the caret";
  EXPECT_EQ(at.top, caret.y + 18) << "below it";
}

// Cut, Copy and Paste go through the system clipboard, from the control's methods and the
// keyboard's shortcuts (their events are the core's: clipboard_commands_test); a clipboard
// that another program holds fails the editor's own copy. (Ctrl+V on a held clipboard is the
// core's to swallow: key_release_test, and the surface's to drop: widgets_test.)
TEST_F(ControlWindowTest, ClipboardCommandsGoThroughTheSystemClipboard) {
  load(u"IF QUIT");
  EditSurface& surface = *window.widgets().editor;
  surface.setSelStart(3);
  surface.setSelLength(4);
  control->Cut();
  EXPECT_EQ(value(), u"IF ");
  EXPECT_EQ(services().clipboard.text(), Text(u"QUIT"));
  control->Paste();
  control->Paste();
  EXPECT_EQ(value(), u"IF QUITQUIT");
  EXPECT_EQ(surface.selStart(), 11);
  // The keyboard's shortcuts: Ctrl+X, Shift+Insert.
  surface.setSelStart(0);
  surface.setSelLength(3);
  key('X', 0x18, 2);
  EXPECT_EQ(value(), u"QUITQUIT");
  surface.setSelStart(8);
  key(VK_INSERT, 0, 1);
  EXPECT_EQ(value(), u"QUITQUITIF ");
  control->SelectAll();
  ClipboardHeldElsewhere held;
  EXPECT_EQ(errorOf([&] { window.widgets().editor->sendEditMessage(kWmCopy); }), 521);
}

TEST_F(ControlWindowTest, TypingStopsAtTheMaximumLengthWithTheHostsWarning) {
  control->putLength(Variant::fromI4(5));
  type(u"WAIT 2");
  EXPECT_EQ(value(), u"WAIT ");
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), u"At most 5 characters.");
  load(u"QUEUE");  // the program's own insertion is cut at the limit too
  EXPECT_EQ(value(), u"WAIT ");
}

// F1 fills the list in the control's order and it follows the typed word; Down puts the
// focus in it on its first entry, its own keys move its selection, and its Enter hands the
// focus back without reaching the editor. (Space committing the entry as one change, and the
// hint after it, are the core's: tests/scenarios/completion_list.)
TEST_F(ShownControlWindowTest, TheKeywordListTakesTheArrowKeysAndEnterHandsTheFocusBack) {
  const auto selected = [&] { return listText(list(), SendMessageW(list(), LB_GETCURSEL, 0, 0)); };
  type(u"IF ");
  key(VK_F1);
  ASSERT_TRUE(shown(list()));
  EXPECT_EQ(SendMessageW(list(), LB_GETCOUNT, 0, 0), 116);
  EXPECT_EQ(listText(list(), 0), u"AGE OF CALL") << "the control's order";
  type(u"QUE");
  EXPECT_EQ(selected(), u"QUEUE TO AGENT");
  key(VK_DOWN);
  ASSERT_EQ(GetFocus(), list());
  SendMessageW(list(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(selected(), u"AND");
  SendMessageW(list(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(GetFocus(), editor());
  SendMessageW(editor(), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
  EXPECT_TRUE(shown(list())) << "the Enter went to the list, not to the editor";
  type(u" ");
  EXPECT_EQ(value(), u"IF AND ");
  EXPECT_FALSE(shown(list()));
}

// Keys from the keyboard driver go through the thread's message loop (TranslateMessage
// makes their characters) and carry the modifiers held.
TEST_F(ShownControlWindowTest, KeyboardInputTypesThroughTheMessageLoop) {
  ASSERT_EQ(GetFocus(), editor());
  constexpr DWORD up = KEYEVENTF_KEYUP;
  const std::pair<WORD, DWORD> keys[] = {{VK_SHIFT, 0}, {'I', 0},  {'I', up},      {VK_SHIFT, up},
                                         {'F', 0},      {'F', up}, {VK_RETURN, 0}, {VK_RETURN, up}};
  std::vector<INPUT> inputs;
  for (const auto& [vk, flags] : keys) {
    INPUT& in = inputs.emplace_back(INPUT{INPUT_KEYBOARD, {}});
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
  const DWORD start = GetTickCount();
  while (events.count(1007) < 4 && GetTickCount() - start < 3000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    pumpMessages();
  }
  EXPECT_EQ(value(), u"If\r\n");
  EXPECT_EQ(events.count(1007), 4) << "I, Shift, F and Enter went up";
  EXPECT_EQ(events.changes, 3);
}

TEST_F(ShownControlWindowTest, TabIndentsTheSelectedLinesAndKeepsTheFocus) {
  load(u"IF\nQUIT\nEND IF");
  EditSurface& surface = *window.widgets().editor;
  surface.setSelStart(0);
  surface.setSelLength(14);
  key(VK_TAB, L'\t', 8);  // Tab held down, as it is while the focus would leave
  EXPECT_EQ(value(), u"\tIF\r\n\tQUIT\r\n\tEND IF");
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_EQ(surface.selStart(), 1);
  EXPECT_EQ(surface.selLength(), 16);
}

// The core's hook stands in front of the editor's subclass until the control terminates. A
// scroll by the scroll bar reaches it and leaves the gutter for the next tick of the control's
// timer (that the tick repaints it as a full repaint would, tavi-host --test checks).
TEST_F(ShownControlWindowTest, TheHookSeesAScrollAndTheGutterWaitsForTheNextTick) {
  const auto proc = [&] { return GetWindowLongPtrW(editor(), GWLP_WNDPROC); };
  ModuleState& module = ModuleState::forThisThread();
  EXPECT_EQ(proc(), reinterpret_cast<LONG_PTR>(win32::Win32WindowSystem::coreProcedureCaller()));
  EXPECT_TRUE(module.m_bHooked);
  Text script;
  for (int i = 1; i <= 100; ++i) script += u"WAIT 2\n";
  control->putLoad_flag(Variant::fromBool(true));
  load(script);
  window.widgets().editor->setSelStart(0);
  RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pumpMessages();
  // The gutter's pixels as the screen shows them.
  const auto pixels = [&] {
    RECT client{};
    GetClientRect(gutter(), &client);
    std::vector<COLORREF> out;
    HDC dc = GetDC(gutter());
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x) out.push_back(GetPixel(dc, x, y));
    ReleaseDC(gutter(), dc);
    return out;
  };
  const std::vector<COLORREF> top = pixels();
  ASSERT_NE(std::count(top.begin(), top.end(), top.front()), std::ssize(top)) << "numbers shown";
  ASSERT_EQ(SendMessageW(editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  module.m_bGutterDirty = false;
  SendMessageW(editor(), WM_VSCROLL, SB_PAGEDOWN, 0);
  ASSERT_GT(SendMessageW(editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_TRUE(module.m_bGutterDirty) << "marked for the next tick";
  pumpMessages();
  EXPECT_EQ(pixels(), top) << "no repaint while scrolling";
  window.attach(nullptr);
  control->terminate();
  EXPECT_EQ(proc(), reinterpret_cast<LONG_PTR>(win32::Win32EditSurface::subclassProcedure()));
  EXPECT_FALSE(module.m_bHooked);
}

TEST_F(ShownControlWindowTest, TheRightButtonOpensTheHostsMenuWhoseEntryRunsItsCommand) {
  load(u"IF QUIT");
  // The menu's own loop reads these keys: the last entry, chosen.
  PostMessageW(editor(), WM_KEYDOWN, VK_UP, 1);
  PostMessageW(editor(), WM_KEYDOWN, VK_RETURN, 1);
  std::binary_semaphore done{0};
  std::thread watchdog([&] {
    if (!done.try_acquire_for(std::chrono::seconds(5))) EndMenu();  // never hang the run
  });
  SendMessageW(editor(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 5));
  SendMessageW(editor(), WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
  done.release();
  watchdog.join();
  pumpMessages();
  EXPECT_EQ(window.widgets().editor->selLength(), 7);
  EXPECT_EQ(events.count(1005), 1) << "Select All";
  EXPECT_EQ(events.ids.back(), 1005) << "after the release of the right button";
}

}  // namespace
}  // namespace tavi
