// The Windows widgets on their own, where no scenario reaches: the window-procedure chain,
// the clipboard's conversions and the system colours. (The editing surface's notifications
// and text rules run in every scenario through tavi-script.exe --platform win32.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_fixture.h"
#include "win32/widgets/control_window.h"
#include "win32/widgets/services.h"
#include "win32/widgets/window_system.h"

namespace tavi {
namespace {

win32::Win32WindowSystem* chainSystem = nullptr;
WindowProc chainNext[2] = {};
std::vector<int> chainCalls;

// The core's procedure N: it notes that it ran and adds 10 (N = 0) or 100 (N = 1) to the
// answer of the procedure before it.
template <int N>
intptr_t hook(intptr_t hwnd, uint32_t message, intptr_t wParam, intptr_t lParam) {
  if (message == WM_GETTEXTLENGTH) chainCalls.push_back(N);
  return chainSystem->callWindowProc(chainNext[N], hwnd, message, wParam, lParam) +
         (N == 0 ? 10 : 100);
}

// The core's procedures stand in front of a window's own, each calling the one before it,
// and come off again in reverse order, the window's own procedure back in place.
TEST(WindowSystemTest, CoreProceduresChainInFrontOfTheWindowsOwnAndComeOffAgain) {
  HWND hwnd =
      CreateWindowExW(0, L"STATIC", L"abc", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const auto handle = reinterpret_cast<intptr_t>(hwnd);
  win32::Win32WindowSystem windows;
  chainSystem = &windows;
  const LONG_PTR own = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  chainNext[0] = windows.setWindowProc(handle, &hook<0>);
  chainNext[1] = windows.setWindowProc(handle, &hook<1>);
  EXPECT_EQ(chainNext[1], &hook<0>) << "the core's procedure it replaced";
  EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 113) << "3 from the window's own";
  EXPECT_EQ(chainCalls, (std::vector<int>{1, 0}));
  EXPECT_EQ(windows.setWindowProc(handle, chainNext[1]), &hook<1>);
  EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 13);
  windows.setWindowProc(handle, chainNext[0]);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), own);
  EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 3);
  EXPECT_EQ(windows.setWindowProc(0, &hook<0>), nullptr) << "no such window";
  DestroyWindow(hwnd);
  chainSystem = nullptr;
}

TEST(ClipboardTest, TextRoundTripsWithCrLfAndAHeldClipboardIsError521) {
  win32::Win32Clipboard& clipboard = win32::Win32Services::forThisThread().clipboard;
  clipboard.setText(u"IF\nQUIT \u0416\U0001D11E");
  EXPECT_EQ(clipboard.text(), Text(u"IF\r\nQUIT \u0416\U0001D11E"));
  clipboard.clear();
  EXPECT_EQ(clipboard.text(), std::nullopt);

  testing::ClipboardHeldElsewhere held;
  EXPECT_EQ(testing::errorOf([&] { clipboard.text(); }), 521);
  EXPECT_EQ(testing::errorOf([&] { clipboard.setText(u"X"); }), 521);
  EXPECT_EQ(testing::errorOf([&] { clipboard.clear(); }), 521);
}

// The gutter's colours are system-colour codes translated at every paint.
TEST(ScreenTest, SystemColoursAreTheSystemsAndUnknownIndicesHaveNone) {
  const win32::Win32Screen& screen = win32::Win32Services::forThisThread().screen;
  EXPECT_EQ(screen.systemColor(COLOR_BTNSHADOW),
            static_cast<int32_t>(GetSysColor(COLOR_BTNSHADOW)));
  for (const int index : {200, -1}) EXPECT_EQ(screen.systemColor(index), std::nullopt) << index;
}

}  // namespace
}  // namespace tavi
