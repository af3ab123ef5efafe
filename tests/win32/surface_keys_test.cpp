// The Windows editor's keys by the rules every platform shares: given a text and a caret,
// a key (sent to the real RichEdit window) gives this selection or this text, where
// RichEdit's own handling would differ.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "control_fixture.h"
#include "win32/widgets/control_window.h"
#include "win32/widgets/services.h"

namespace tavi {
namespace {

constexpr int kShift = 1;
constexpr int kCtrl = 2;

class SurfaceKeysTest : public ::testing::Test {
 protected:
  SurfaceKeysTest() : surface(*window.widgets().editor) {
    surface.setWidth(6000);
    surface.setHeight(1500);  // a few rows, fewer than the longer texts' lines
  }
  ~SurfaceKeysTest() override { testing::holdModifiers(0); }

  HWND editor() const {
    return GetDlgItem(GetDlgItem(window.hwnd(), win32::kFrameId), win32::kEditorId);
  }
  void load(TextView text, int32_t caret) {
    surface.setSelStart(0);
    surface.setSelLength(surface.textLength());
    surface.replaceSelection(text);
    surface.setSelStart(caret);
  }
  void key(WORD vk, int modifiers = 0) {
    testing::holdModifiers(modifiers);
    testing::sendKey(editor(), vk);
    testing::holdModifiers(0);
  }
  // The selection as "start+length".
  std::string selection() const {
    return std::to_string(surface.selStart()) + "+" + std::to_string(surface.selLength());
  }

  win32::ControlWindow window;
  EditSurface& surface;
};

// Left and Right step over CR LF and a surrogate pair as one unit, and without Shift
// collapse a selection to its end; Ctrl+Left and Ctrl+Right go by the shared word stops.
TEST_F(SurfaceKeysTest, HorizontalKeysTakeCrLfAndSurrogatePairsAsOneUnit) {
  struct Case {
    const char16_t* text;
    int32_t caret = 0;
    WORD key = 0;
    int modifiers = 0;
    const char* selection;
  };
  const Case cases[] = {
      {.text = u"ab\r\ncd", .caret = 2, .key = VK_RIGHT, .selection = "4+0"},
      {.text = u"ab\r\ncd", .caret = 4, .key = VK_LEFT, .selection = "2+0"},
      {.text = u"a\U0001D11Eb", .caret = 1, .key = VK_RIGHT, .selection = "3+0"},
      {.text = u"a\U0001D11Eb",
       .caret = 3,
       .key = VK_LEFT,
       .modifiers = kShift,
       .selection = "1+2"},
      {.text = u"ab, cd\r\nx", .caret = 4, .key = VK_RIGHT, .modifiers = kCtrl, .selection = "6+0"},
      {.text = u"ab, cd\r\nx", .caret = 6, .key = VK_RIGHT, .modifiers = kCtrl, .selection = "8+0"},
      {.text = u"ab, cd\r\nx", .caret = 8, .key = VK_LEFT, .modifiers = kCtrl, .selection = "6+0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text) + " from " + std::to_string(c.caret) + " key " +
                 std::to_string(c.key) + "/" + std::to_string(c.modifiers));
    load(c.text, c.caret);
    key(c.key, c.modifiers);
    EXPECT_EQ(selection(), c.selection);
  }
  load(u"abcd", 1);
  surface.setSelLength(2);
  key(VK_RIGHT);
  EXPECT_EQ(selection(), "3+0") << "a selection collapses to its end";
}

// Shift moves the active end and keeps the anchor, also when the active end is the lower
// one; Ctrl+A puts the active end at the text's end.
TEST_F(SurfaceKeysTest, ShiftMovesTheActiveEndFromTheAnchor) {
  load(u"abcdef", 3);
  key(VK_LEFT, kShift);
  key(VK_LEFT, kShift);
  EXPECT_EQ(selection(), "1+2");
  key(VK_RIGHT, kShift);
  EXPECT_EQ(selection(), "2+1") << "the active end was the start";
  key('A', kCtrl);
  key(VK_LEFT, kShift);
  EXPECT_EQ(selection(), "0+5");
}

// Up and Down keep a goal column in code units through a shorter line, and go to the
// text's start and end beyond the first and last lines.
TEST_F(SurfaceKeysTest, VerticalKeysKeepAGoalColumnInCodeUnits) {
  load(u"WWWWW\r\nx\r\niiiii", 4);
  key(VK_DOWN);
  EXPECT_EQ(selection(), "8+0") << "the short line's end";
  key(VK_DOWN);
  EXPECT_EQ(selection(), "14+0") << "column 4 again, however wide W and i are";
  key(VK_DOWN);
  EXPECT_EQ(selection(), "15+0") << "the text's end";
  load(u"abc\r\ndef", 6);
  key(VK_UP, kShift);
  EXPECT_EQ(selection(), "1+5");
  key(VK_UP, kShift);
  EXPECT_EQ(selection(), "0+6") << "the text's start, selected";
}

// Page Down and Page Up move the caret and the view by the rows in view, whatever their
// number; within the last page they go to the text's end.
TEST_F(SurfaceKeysTest, PageKeysMoveCaretAndViewByTheRowsInView) {
  Text text;
  for (int i = 0; i < 60; ++i) text += u"line\r\n";
  load(text + u"end", 2);
  key(VK_NEXT);
  const int32_t rows = surface.firstVisibleLine();
  ASSERT_GT(rows, 0);
  ASSERT_LT(rows, 30);
  EXPECT_EQ(surface.selStart(), rows * 6 + 2) << "the same column, a page down";
  key(VK_PRIOR);
  EXPECT_EQ(surface.selStart(), 2);
  EXPECT_EQ(surface.firstVisibleLine(), 0);
  load(u"a\r\nbc", 1);
  key(VK_NEXT);
  EXPECT_EQ(selection(), "5+0");
  EXPECT_EQ(surface.firstVisibleLine(), 0) << "a text that fits never scrolls";
}

// Backspace and Delete remove a whole CR LF or surrogate pair; with Ctrl they reach the
// word stops.
TEST_F(SurfaceKeysTest, DeletionKeysRemoveWholeUnitsAndWords) {
  struct Case {
    const char16_t* text;
    int32_t caret = 0;
    WORD key = 0;
    int modifiers = 0;
    const char16_t* result;
  };
  const Case cases[] = {
      {.text = u"ab\r\ncd", .caret = 4, .key = VK_BACK, .result = u"abcd"},
      {.text = u"ab\r\ncd", .caret = 2, .key = VK_DELETE, .result = u"abcd"},
      {.text = u"a\U0001D11Eb", .caret = 3, .key = VK_BACK, .result = u"ab"},
      {.text = u"ab, cd\r\nx",
       .caret = 4,
       .key = VK_BACK,
       .modifiers = kCtrl,
       .result = u"abcd\r\nx"},
      {.text = u"ab, cd\r\nx",
       .caret = 0,
       .key = VK_DELETE,
       .modifiers = kCtrl,
       .result = u", cd\r\nx"},
      {.text = u"ab, cd\r\nx",
       .caret = 6,
       .key = VK_DELETE,
       .modifiers = kCtrl,
       .result = u"ab, cdx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text) + " from " + std::to_string(c.caret) + " key " +
                 std::to_string(c.key) + "/" + std::to_string(c.modifiers));
    load(c.text, c.caret);
    key(c.key, c.modifiers);
    EXPECT_EQ(surface.text(), c.result);
  }
}

// Pasted text lands with CR LF breaks, fitted to the maximum length.
TEST_F(SurfaceKeysTest, PasteConvertsLoneBreaksAndFitsTheLimit) {
  win32::Win32Clipboard& clipboard = win32::Win32Services::forThisThread().clipboard;
  // The Windows clipboard itself turns LF into CR LF; a lone CR passes through.
  clipboard.setText(u"a\rb\nc");
  load(u"", 0);
  key('V', kCtrl);
  EXPECT_EQ(surface.text(), u"a\r\nb\r\nc");
  surface.setMaxLength(9);
  key(VK_INSERT, kShift);
  EXPECT_EQ(surface.text(), u"a\r\nb\r\nca") << "cut before the break that does not fit";
  surface.setMaxLength(0);
  clipboard.clear();
}

// A range a program sets never splits a CR LF or a surrogate pair: it is widened to whole
// units from the start asked for, a caret inside a unit goes before it, and find returns
// where the match begins but selects it widened.
TEST_F(SurfaceKeysTest, ProgramRangesAreWidenedToWholeUnits) {
  struct Case {
    const char16_t* text;
    int32_t start = 0;
    int32_t length = 0;
    const char* selection;
  };
  const Case cases[] = {
      {.text = u"ab\r\ncd", .start = 3, .length = 0, .selection = "2+0"},
      {.text = u"ab\r\ncd", .start = 3, .length = 2, .selection = "2+3"},
      {.text = u"ab\r\ncd", .start = 1, .length = 2, .selection = "1+3"},
      {.text = u"a\U0001D11Eb", .start = 2, .length = 1, .selection = "1+2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text) + " from " + std::to_string(c.start));
    load(c.text, 0);
    surface.setSelStart(c.start);
    surface.setSelLength(c.length);
    EXPECT_EQ(selection(), c.selection);
  }
  load(u"ab\r\ncd", 0);
  EXPECT_EQ(surface.find(u"\ncd", 0, -1, 0), 3);
  EXPECT_EQ(selection(), "2+4");
}

}  // namespace
}  // namespace tavi
