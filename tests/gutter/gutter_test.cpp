#include "gutter/gutter.h"

#include <string>
#include <tuple>

#include "shell/runtime_error.h"
#include "shell/widgets/size_check.h"
#include "shell/window_hook.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr int32_t kGutterPixels = headless::kGutterWidth / headless::kTwipsPerPixel;  // 48

// Lines "ab" joined by CR LF: line i (zero-based) starts at offset 4 * i.
Text twoCharLines(int count) {
  Text text;
  for (int i = 0; i < count; ++i) text += i == 0 ? u"ab" : u"\r\nab";
  return text;
}

class GutterTest : public testing::ControlFixture {
 protected:
  // The thread's module state outlives each test; start every test clean.
  GutterTest() { control.module().m_bGutterDirty = false; }

  // The right-aligned numbers of a paint (by default the last one of the fixture's gutter),
  // "*" marking the window-text colour, "?" any colour but window text or button shadow.
  std::string numbers(const GutterPaint* of = nullptr) {
    const GutterPaint& paint = of ? *of : *widgets.gutter().lastPaint();
    const int32_t windowText = *platform.screen().systemColor(8);
    const int32_t shadow = *platform.screen().systemColor(16);
    std::string out;
    for (const GutterTextDrawn& t : paint.texts) {
      EXPECT_EQ(t.format, kDtRight);
      if (!out.empty()) out += ' ';
      out += toUtf8(t.text);
      if (t.color == windowText)
        out += '*';
      else if (t.color != shadow)
        out += '?';
    }
    return out;
  }
  bool dirty() { return control.module().m_bGutterDirty; }
};

// A frame with a 30-twip border on every side; with `fixedHeight` every height change
// fails, as a widget refuses an invalid size.
class BorderedFrame final : public FrameBox {
 public:
  static constexpr int32_t kBorder = 30;
  int32_t width() const override { return width_; }
  void setWidth(int32_t v) override { width_ = checkedSize(v); }
  int32_t height() const override { return height_; }
  void setHeight(int32_t v) override {
    if (fixedHeight) throw RuntimeError(err::kInvalidPropertyValue);
    height_ = checkedSize(v);
  }
  int32_t innerWidth() const override { return width_ - 2 * kBorder; }
  int32_t innerHeight() const override { return height_ - 2 * kBorder; }
  void setTabStop(bool) override {}

  bool fixedHeight = false;
  int32_t width_ = 0, height_ = 0;
};

// The frame's inner height, and so the editor's and the gutter's, is the largest multiple
// of 16 twips not above the control's height rounded to a whole number (3407.5 gives
// 3408, not 3407), whatever the frame's border takes. A failing step is skipped and the
// rest run, the repaint last: a control narrower than the gutter keeps the editor's old
// width, and a refused height leaves the gutter as high as the editor is. The repaint
// draws whole rows of 16 pixels only (3 in 48 or 55 pixels), but always the first.
TEST_F(GutterTest, LayoutTakesTheLargestMultipleOf16AndSkipsAFailingStep) {
  BorderedFrame frame;
  HeadlessControl& other = platform.createControl();
  Widgets w = other.widgets();
  w.frame = &frame;
  TaviColorText bordered(w);
  bordered.putText(Variant::fromString(twoCharLines(4)));
  constexpr int32_t kEditorWidth = 9000 - 2 * BorderedFrame::kBorder - headless::kGutterWidth;
  // The control's width and height, the inner height laid out, the numbers painted.
  const std::tuple<int32_t, double, int32_t, const char*> rows[] = {
      {9000, 3405, 3392, "1* 2 3 4"}, {9000, 3407.5, 3408, "1* 2 3 4"},
      {500, 3405, 3392, "1* 2 3 4"},  {9000, 15, 0, "1*"},
      {9000, 720, 720, "1* 2 3"},     {9000, 840, 832, "1* 2 3"}};
  for (const auto& [width, height, layout, painted] : rows) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const int refreshes = other.surface().refreshCount();
    other.site().setSize(width, height);
    bordered.resize();
    EXPECT_EQ(frame.width(), width);
    EXPECT_EQ(frame.height(), layout + 2 * BorderedFrame::kBorder);
    EXPECT_EQ(other.surface().height(), layout);
    EXPECT_EQ(other.gutter().height(), layout);
    EXPECT_EQ(other.surface().width(), kEditorWidth);
    EXPECT_EQ(other.surface().left(), headless::kGutterWidth);
    EXPECT_EQ(other.surface().refreshCount(), refreshes + 1);
    // The fill covers the client area and the rule runs down its last column.
    const int32_t clientHeight = layout / headless::kTwipsPerPixel;
    const GutterPaint& paint = *other.gutter().lastPaint();
    EXPECT_EQ(numbers(&paint), painted);
    EXPECT_EQ(paint.fillRect->right, kGutterPixels);
    EXPECT_EQ(paint.fillRect->bottom, clientHeight);
    const GutterLineDrawn& rule = paint.lines.at(0);
    EXPECT_EQ(std::vector<int32_t>({rule.x1, rule.y1, rule.x2, rule.y2}),
              std::vector<int32_t>({kGutterPixels - 1, 0, kGutterPixels - 1, clientHeight}));
  }
  frame.fixedHeight = true;
  frame.height_ = 40;  // inner height -20: the editor refuses it
  other.surface().setHeight(1234);
  bordered.resize();
  EXPECT_EQ(other.surface().height(), 1234);
  EXPECT_EQ(other.gutter().height(), 1234);
}

TEST_F(GutterTest, NumbersOfTheCaretAndSelectionLinesAreInWindowText) {
  control.gutterPaint();
  EXPECT_EQ(numbers(), "1*") << "an empty editor has one line, the caret's";
  load(twoCharLines(10));
  // The selection's start and length, the first visible line, the numbers painted.
  const std::tuple<int32_t, int32_t, int32_t, const char*> rows[] = {
      {16, 0, 0, "1 2 3 4 5* 6 7 8 9 10"},      // the caret's line
      {38, 0, 0, "1 2 3 4 5 6 7 8 9 10*"},      // the caret at the end of the text
      {8, 18, 0, "1 2 3* 4* 5* 6* 7* 8 9 10"},  // a selection over lines 3 to 7
      {9, 1, 0, "1 2 3* 4 5 6 7 8 9 10"},       // one character is no selection
      {8, 8, 0, "1 2 3* 4* 5 6 7 8 9 10"},      // the line its last character, a break, ends
      {4, 26, 4, "5 6 7 8 9 10"},               // the colour changes only at the first line
      {20, 18, 4, "5 6* 7* 8* 9* 10*"},         // up to the last line
      {0, 0, 9, "10"}};                         // the last line at the top: one number
  for (const auto& [selStart, selLength, firstVisible, painted] : rows) {
    widgets.surface().setSelStart(selStart);
    widgets.surface().setSelLength(selLength);
    widgets.surface().scrollTo(firstVisible);
    control.gutterPaint();
    EXPECT_EQ(numbers(), painted) << selStart << "+" << selLength;
  }
}

TEST_F(GutterTest, TranslateColorPassesRgbAndGivesMinusOneForUnknownOrMalformedCodes) {
  for (uint32_t rgb : {0x000000u, 0x123456u, 0xFFFFFFu})
    EXPECT_EQ(TranslateColor(platform.screen(), static_cast<int32_t>(rgb), 0), int32_t(rgb));
  for (uint32_t code : {0x800000FFu, 0x8000001Fu, 0x03000000u, 0x10FFFFFFu, 0xFFFFFFFFu})
    EXPECT_EQ(TranslateColor(platform.screen(), static_cast<int32_t>(code), 0), -1)
        << std::hex << code;
}

// The timer tick repaints only when the editor's window procedure saw a vertical scroll
// or a timer message (the tick after a scroll is in the scroll_gutter scenario).
TEST_F(GutterTest, OnlyVerticalScrollAndTimerMessagesMarkDirtyForTheTick) {
  load(twoCharLines(10));
  widgets.surface().scrollTo(4);  // without a message
  const intptr_t hwnd = widgets.surface().windowHandle();
  // WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_HSCROLL
  for (uint32_t message : {0x100u, 0x102u, 0x200u, 0x20Au, 0x114u}) {
    platform.windows().sendMessage(hwnd, message);
    EXPECT_FALSE(dirty()) << std::hex << message;
  }
  control.timerTick();
  EXPECT_EQ(numbers().substr(0, 2), "1*") << "a clean tick paints nothing";
  platform.windows().sendMessage(hwnd, kWmTimer);
  EXPECT_TRUE(dirty());
}

// Every control takes its editor's handle, only the first hooks its editor, and the
// first to terminate restores the saved procedure on the editor last named.
TEST_F(GutterTest, OnlyTheFirstEditorOfTheThreadIsHooked) {
  HeadlessControl& second = platform.createControl();
  TaviColorText other(second.widgets());
  const intptr_t hwnd2 = second.surface().windowHandle();
  EXPECT_EQ(control.module().m_hWndEditor, hwnd2);
  EXPECT_EQ(platform.windows().windowProc(hwnd2), &HeadlessWindowSystem::defaultWindowProc);
  control.terminate();
  EXPECT_FALSE(control.module().m_bHooked);
  EXPECT_EQ(platform.windows().windowProc(widgets.surface().windowHandle()), &EditorWndProc);
}

TEST_F(GutterTest, TerminateUnhooksTheEditor) {
  control.terminate();
  EXPECT_EQ(platform.windows().windowProc(widgets.surface().windowHandle()),
            &HeadlessWindowSystem::defaultWindowProc);
}

}  // namespace
}  // namespace tavi
