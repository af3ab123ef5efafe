// The Windows widgets on their own: the editing surface's notifications and text rules
// (with a listener of the test's), the window-procedure chain and the clipboard.
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

// What the surface told, in order: "down 65", "change", "up 65", ...
class Recorder final : public SurfaceListener {
 public:
  void surfaceGotFocus() override { log.push_back("focus"); }
  void surfaceLostFocus() override { log.push_back("blur"); }
  void surfaceChanged() override { log.push_back("change"); }
  void surfaceKeyDown(int16_t& keyCode, int16_t& shift) override {
    log.push_back("down " + std::to_string(keyCode) + (shift != 0 ? "+" : ""));
    if (keyCode == swallow) keyCode = 0;
  }
  void surfaceKeyUp(int16_t& keyCode, int16_t&) override {
    log.push_back("up " + std::to_string(keyCode));
  }
  void surfaceMouseDown(int16_t button, int16_t, float, float) override {
    log.push_back("press " + std::to_string(button));
  }
  void surfaceMouseUp(int16_t button, int16_t, float, float) override {
    log.push_back("release " + std::to_string(button));
  }
  std::vector<std::string> log;
  int16_t swallow = -1;
};

class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() : surface(*window.widgets().editor) { surface.setListener(&recorder); }
  ~SurfaceTest() override { surface.setListener(nullptr); }

  HWND editor() const {
    return GetDlgItem(GetDlgItem(window.hwnd(), win32::kFrameId), win32::kEditorId);
  }
  void key(WORD vk, wchar_t ch = 0) { testing::sendKey(editor(), vk, ch); }
  void load(TextView text) {
    surface.setSelStart(0);
    surface.setSelLength(surface.textLength());
    surface.replaceSelection(text);
    recorder.log.clear();
  }

  win32::ControlWindow window;
  EditSurface& surface;
  Recorder recorder;
};

using Log = std::vector<std::string>;

// A typed character is one change between its KeyDown and KeyUp; a key whose code the
// listener sets to 0 reaches neither RichEdit nor the text as a character.
TEST_F(SurfaceTest, KeysRaiseTheirNotificationsAndASwallowedKeyDoesNothing) {
  load(u"IF");
  key('A', L'A');
  EXPECT_EQ(recorder.log, (Log{"down 65", "change", "up 65"}));
  key(VK_BACK);
  EXPECT_EQ(surface.text(), u"IF");
  recorder.swallow = VK_BACK;
  key(VK_BACK);
  recorder.swallow = 'B';
  key('B', L'B');
  EXPECT_EQ(surface.text(), u"IF");
  EXPECT_EQ(recorder.log, (Log{"down 65", "change", "up 65", "down 8", "change", "up 8", "down 8",
                               "up 8", "down 66", "up 66"}));
  recorder.log.clear();
  SendMessageW(editor(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageW(editor(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  SendMessageW(editor(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
  SendMessageW(editor(), WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
  EXPECT_EQ(surface.selStart(), 0) << "the left press placed the caret";
  EXPECT_EQ(recorder.log, (Log{"focus", "press 1", "release 1", "press 2", "release 2"}))
      << "the left press takes the focus";
}

// replaceSelection raises exactly one change before it returns, and nothing when nothing
// changes; formats and selections raise none.
TEST_F(SurfaceTest, OnlyTextEditsRaiseTheChangeNotification) {
  load(u"IF QUIT");
  surface.setSelStart(3);
  surface.setSelLength(4);
  surface.setSelColor(0xFF0000);
  surface.setSelBold(true);
  surface.setHideSelection(false);
  surface.setSelLength(0);
  surface.replaceSelection(u"");
  EXPECT_TRUE(recorder.log.empty());
  surface.replaceSelection(u"WAIT ");
  EXPECT_EQ(recorder.log, (Log{"change"}));
  EXPECT_EQ(surface.selStart(), 8);
  EXPECT_EQ(surface.find(u"WAIT", 0, -1, 0), 3);
  EXPECT_EQ(recorder.log, (Log{"change"}));
}

// Whether every character of [start, end) is black and regular, as RichEdit reports it.
bool plainIn(HWND editor, int32_t start, int32_t end) {
  CHARRANGE range{start, end};
  SendMessageW(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMATW format{};
  format.cbSize = sizeof format;
  SendMessageW(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return (format.dwMask & (CFM_COLOR | CFM_BOLD)) == (CFM_COLOR | CFM_BOLD) &&
         (format.dwEffects & (CFE_BOLD | CFE_AUTOCOLOR)) == 0 && format.crTextColor == 0;
}

// Text goes in plain whatever stands before it or what it replaces, and RichEdit keeps the
// maximum length after the surface's own insertions.
TEST_F(SurfaceTest, InsertedTextIsPlainAndTheLimitStays) {
  load(u"IF QUIT");
  surface.setSelStart(0);
  surface.setSelLength(7);
  surface.setSelColor(0xFF0000);
  surface.setSelBold(true);
  surface.setSelStart(7);
  surface.replaceSelection(u" END");  // behind blue bold text
  EXPECT_TRUE(plainIn(editor(), 7, 11));
  surface.setSelStart(3);
  surface.setSelLength(4);
  surface.replaceSelection(u"WAIT");  // over blue bold text
  EXPECT_TRUE(plainIn(editor(), 3, 7));
  EXPECT_FALSE(plainIn(editor(), 0, 3)) << "the text before keeps its format";

  surface.setMaxLength(12);
  surface.setSelStart(0);
  surface.replaceSelection(u"GIVE RINGBACK ");
  EXPECT_EQ(surface.text(), u"GIF WAIT END") << "what fits of it";
  key('X', L'X');
  EXPECT_EQ(surface.text(), u"GIF WAIT END") << "a typed character finds the editor full";
}

TEST_F(SurfaceTest, LineBreaksAreCrLfAndSelectionsInsideThemAreWidened) {
  load(u"A\nB\rC\r\n\r\nD");  // an empty line too
  EXPECT_EQ(surface.text(), u"A\r\nB\r\nC\r\n\r\nD");
  EXPECT_EQ(surface.textLength(), 12);
  EXPECT_EQ(surface.lineCount(), 5);
  EXPECT_EQ(surface.lineFromChar(4), 1);
  surface.setSelStart(2);   // between CR and LF
  surface.setSelLength(3);  // [2, 5) takes both breaks whole
  EXPECT_EQ(surface.selStart(), 1);
  EXPECT_EQ(surface.selLength(), 5);
  EXPECT_EQ(surface.selText(), u"\r\nB\r\n");
  surface.setSelStart(100);
  EXPECT_EQ(surface.selStart(), 12) << "clamped to the text";
}

// Whole words follow the control's word characters (letters, digits and "_"); a match
// lies wholly within the range and becomes the selection.
TEST_F(SurfaceTest, FindFollowsTheControlsWordRule) {
  load(u"AND_X XAND and AND");
  struct Case {
    std::u16string_view what;
    int32_t start;
    int32_t end;
    int options;
    int32_t found;
  };
  const Case cases[] = {
      {u"AND", 0, -1, kFindWholeWord | kFindMatchCase, 15},
      {u"AND", 0, -1, kFindWholeWord, 11},
      {u"AND", 0, -1, kFindMatchCase, 0},
      {u"AND", 15, 17, 0, -1},
      {u"AND", 7, 18, kFindMatchCase, 7},
      {u"", 0, -1, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.what) + " from " + std::to_string(c.start));
    surface.setSelStart(0);
    EXPECT_EQ(surface.find(c.what, c.start, c.end, c.options), c.found);
    if (c.found >= 0) {
      EXPECT_EQ(surface.selStart(), c.found);
      EXPECT_EQ(surface.selLength(), static_cast<int32_t>(c.what.size()));
    }
  }
}

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
