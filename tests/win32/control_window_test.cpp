// The control in real Windows widgets, where no scenario reaches: the hook chain and the
// gutter's wait for the timer's tick, and the popup menu's own modal loop (tavi-script
// answers the menu by script). Keys, text, the list, the hint and the clipboard run in every
// scenario through tavi-script.exe --platform win32.
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

using testing::pumpMessages;
using testing::ShownControlFixture;

using ShownControlWindowTest = ShownControlFixture;

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
