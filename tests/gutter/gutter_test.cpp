#include "gutter/gutter.h"

#include <string>

#include "headless/size_check.h"
#include "shell/runtime_error.h"
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

Text digits(int n) {
  const std::string s = std::to_string(n);
  return Text(s.begin(), s.end());
}

class GutterTest : public testing::ControlFixture {
 protected:
  // The thread's module state outlives each test; start every test clean.
  GutterTest() { control.module().m_bGutterDirty = false; }

  int32_t systemColor(int index) { return *platform.screen().systemColor(index); }
  const GutterPaint& paint() { return *widgets.gutter().lastPaint(); }
  // The numbers of the last paint, "*" marking the window-text colour, "?" any colour
  // other than window text or button shadow.
  std::string numbers() {
    std::string out;
    for (const GutterTextDrawn& t : paint().texts) {
      if (!out.empty()) out += ' ';
      out.append(t.text.begin(), t.text.end());
      if (t.color == systemColor(8))
        out += '*';
      else if (t.color != systemColor(16))
        out += '?';
    }
    return out;
  }
  bool dirty() { return control.module().m_bGutterDirty; }
  HeadlessEditSurface& surface() { return widgets.surface(); }
};

// ---- Layout ----

struct HeightCase {
  double inner;    // the control's inner height in twips
  int32_t layout;  // the frame's, editor's and gutter's height
};

class GutterLayoutTest : public GutterTest, public ::testing::WithParamInterface<HeightCase> {};

TEST_P(GutterLayoutTest, FrameEditorAndGutterTakeTheLargestMultipleOf16) {
  widgets.site().setSize(9000, GetParam().inner);
  control.resize();
  EXPECT_EQ(widgets.frame().innerHeight(), GetParam().layout);
  EXPECT_EQ(surface().height(), GetParam().layout);
  EXPECT_EQ(widgets.gutter().height(), GetParam().layout);
  EXPECT_EQ(surface().width(), 9000 - headless::kGutterWidth);
  EXPECT_EQ(surface().left(), headless::kGutterWidth);
  EXPECT_EQ(paint().fillRect->bottom, GetParam().layout / headless::kTwipsPerPixel);
}

// Halves go to the even neighbour: 3407.5 -> 3408 and 3408.5 -> 3408.
INSTANTIATE_TEST_SUITE_P(Heights, GutterLayoutTest,
                         ::testing::Values(HeightCase{3405, 3392}, HeightCase{3392, 3392},
                                           HeightCase{16, 16}, HeightCase{15, 0}, HeightCase{0, 0},
                                           HeightCase{3404.5, 3392}, HeightCase{3405.5, 3392},
                                           HeightCase{3407.5, 3408}, HeightCase{3408.5, 3408}));

TEST_F(GutterTest, ControlNarrowerThanTheGutterKeepsTheEditorWidthAndRunsTheRest) {
  const int refreshes = surface().refreshCount();
  widgets.site().setSize(500, 3405);
  control.resize();
  EXPECT_EQ(widgets.frame().width(), 500);
  EXPECT_EQ(surface().width(), 9000 - headless::kGutterWidth) << "the failed width is skipped";
  EXPECT_EQ(surface().height(), 3392);
  EXPECT_EQ(widgets.gutter().height(), 3392);
  EXPECT_EQ(surface().refreshCount(), refreshes + 1);
  EXPECT_EQ(paint().fillRect->bottom, 3392 / headless::kTwipsPerPixel) << "repainted last";
}

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
  int32_t width_ = 0;
  int32_t height_ = 0;
};

class BorderedLayoutTest : public GutterTest {
 protected:
  BorderedLayoutTest() : other(platform.createControl()), control2(withFrame()) {
    other.site().setSize(9000, 3405);
  }
  Widgets withFrame() {
    Widgets w = other.widgets();
    w.frame = &frame;
    return w;
  }
  BorderedFrame frame;
  HeadlessControl& other;
  TaviColorText control2;
};

TEST_F(BorderedLayoutTest, InnerHeightIsTheMultipleOf16WhateverTheBorderTakes) {
  control2.resize();
  EXPECT_EQ(frame.height(), 3392 + 2 * BorderedFrame::kBorder);
  EXPECT_EQ(frame.innerHeight(), 3392);
  EXPECT_EQ(other.surface().height(), 3392);
  EXPECT_EQ(other.surface().width(), 9000 - 2 * BorderedFrame::kBorder - headless::kGutterWidth);
}

TEST_F(BorderedLayoutTest, GutterHeightIsReadBackFromTheEditor) {
  frame.fixedHeight = true;
  frame.height_ = 40;  // inner height -20: the editor refuses it
  other.surface().setHeight(1234);
  control2.resize();
  EXPECT_EQ(other.surface().height(), 1234);
  EXPECT_EQ(other.gutter().height(), 1234);
  EXPECT_EQ(other.surface().left(), headless::kGutterWidth);
}

// ---- Painting ----

TEST_F(GutterTest, EmptyEditorShowsOneInWindowText) {
  control.gutterPaint();
  EXPECT_EQ(numbers(), "1*");
}

TEST_F(GutterTest, PaintGeometryFillsNumbersRowsAndDrawsTheRule) {
  load(twoCharLines(30));
  control.gutterPaint();
  const int32_t clientHeight = 6000 / headless::kTwipsPerPixel;  // 400: 25 whole rows
  ASSERT_EQ(paint().texts.size(), 25u);
  for (int32_t i = 0; i < 25; ++i) {
    const GutterTextDrawn& t = paint().texts[i];
    EXPECT_EQ(t.text, digits(i + 1));
    EXPECT_EQ(t.rect.left, 2);
    EXPECT_EQ(t.rect.right, kGutterPixels - 2);
    EXPECT_EQ(t.rect.top, 16 * i);
    EXPECT_EQ(t.rect.bottom, 16 * i + 16);
    EXPECT_EQ(t.format, kDtRight);
  }
  ASSERT_TRUE(paint().fillRect);
  EXPECT_EQ(paint().fillRect->right, kGutterPixels);
  EXPECT_EQ(paint().fillRect->bottom, clientHeight);
  EXPECT_EQ(paint().fillColor, systemColor(15)) << "button face";
  ASSERT_EQ(paint().lines.size(), 1u);
  const GutterLineDrawn& rule = paint().lines[0];
  EXPECT_EQ(rule.x1, kGutterPixels - 1);
  EXPECT_EQ(rule.x2, kGutterPixels - 1);
  EXPECT_EQ(rule.y1, 0);
  EXPECT_EQ(rule.y2, clientHeight);
  EXPECT_EQ(rule.color, systemColor(16));
  EXPECT_EQ(widgets.gutter().fontName(), surface().fontName());
}

struct PaintCase {
  const char* name;
  int lines;
  int32_t selStart;
  int32_t selLength;
  int32_t firstVisible;
  const char* numbers;
};

class GutterPaintTest : public GutterTest, public ::testing::WithParamInterface<PaintCase> {};

TEST_P(GutterPaintTest, MarksTheCaretAndSelectionLines) {
  const PaintCase& c = GetParam();
  load(twoCharLines(c.lines));
  surface().setSelStart(c.selStart);
  surface().setSelLength(c.selLength);
  surface().scrollTo(c.firstVisible);
  control.gutterPaint();
  EXPECT_EQ(numbers(), c.numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GutterPaintTest,
    ::testing::Values(
        PaintCase{"CaretAtLineStart", 10, 16, 0, 0, "1 2 3 4 5* 6 7 8 9 10"},
        PaintCase{"CaretAtLineEnd", 10, 18, 0, 0, "1 2 3 4 5* 6 7 8 9 10"},
        PaintCase{"CaretAtTextEnd", 10, 38, 0, 0, "1 2 3 4 5 6 7 8 9 10*"},
        PaintCase{"SelectionOverLines3To7", 10, 8, 18, 0, "1 2 3* 4* 5* 6* 7* 8 9 10"},
        PaintCase{"OneCharacterIsNoSelection", 10, 9, 1, 0, "1 2 3* 4 5 6 7 8 9 10"},
        PaintCase{"TwoCharactersAcrossABreak", 10, 10, 3, 0, "1 2 3* 4* 5 6 7 8 9 10"},
        PaintCase{"EndingWithALineBreak", 10, 8, 8, 0, "1 2 3* 4* 5 6 7 8 9 10"},
        PaintCase{"StartingAboveTheView", 10, 4, 26, 4, "5 6 7 8 9 10"},
        PaintCase{"SelectionToTheLastLine", 10, 20, 18, 4, "5 6* 7* 8* 9* 10*"},
        PaintCase{"LastLineFirstVisible", 10, 0, 0, 9, "10"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RowsCase {
  int32_t controlHeight;  // twips; the gutter's client height is the layout height / 15
  const char* numbers;
};

class GutterRowsTest : public GutterTest, public ::testing::WithParamInterface<RowsCase> {};

TEST_P(GutterRowsTest, DrawsOnlyWholeRowsButAlwaysTheFirst) {
  load(twoCharLines(10));
  widgets.site().setSize(9000, GetParam().controlHeight);
  control.resize();
  EXPECT_EQ(numbers(), GetParam().numbers);
}

INSTANTIATE_TEST_SUITE_P(ClientHeights, GutterRowsTest,
                         ::testing::Values(RowsCase{200, "1*"},          // 12 px: clipped
                                           RowsCase{720, "1* 2 3"},      // 48 px: exact fit
                                           RowsCase{840, "1* 2 3"},      // 55 px: no partial row
                                           RowsCase{960, "1* 2 3 4"}));  // 64 px

// ---- Colour translation ----

TEST_F(GutterTest, TranslateColorPassesRgbAndTranslatesSystemCodes) {
  const Screen& screen = platform.screen();
  for (int32_t rgb : {0x000000, 0x123456, 0xFFFFFF}) EXPECT_EQ(TranslateColor(screen, rgb, 0), rgb);
  EXPECT_EQ(TranslateColor(screen, kColorButtonShadow, 0), systemColor(16));
  EXPECT_EQ(TranslateColor(screen, kColorWindowText, 0), systemColor(8));
  EXPECT_EQ(TranslateColor(screen, static_cast<int32_t>(0x8000000Fu), 0), systemColor(15));
}

TEST_F(GutterTest, TranslateColorGivesMinusOneForUnknownIndicesAndMalformedCodes) {
  for (uint32_t code : {0x800000FFu, 0x8000001Fu, 0x03000000u, 0x10FFFFFFu, 0xFFFFFFFFu})
    EXPECT_EQ(TranslateColor(platform.screen(), static_cast<int32_t>(code), 0), -1)
        << std::hex << code;
}

// ---- Timer tick and the editor-window hook ----

TEST_F(GutterTest, TickRepaintsOnlyWhenDirtyAndClearsTheFlag) {
  load(twoCharLines(10));
  surface().scrollTo(4);
  control.timerTick();
  EXPECT_EQ(numbers().substr(0, 2), "1*") << "a clean tick paints nothing";
  control.module().m_bGutterDirty = true;
  control.timerTick();
  EXPECT_EQ(numbers(), "5 6 7 8 9 10");
  EXPECT_FALSE(dirty());
}

TEST_F(GutterTest, ScrollBarDragMarksDirtyAndTheNextTickCatchesUp) {
  load(twoCharLines(40));
  widgets.scroll(10);
  EXPECT_TRUE(dirty());
  EXPECT_EQ(numbers().substr(0, 2), "1*") << "no repaint while dragging";
  control.timerTick();
  EXPECT_EQ(numbers().substr(0, 3), "11 ");
  EXPECT_FALSE(dirty());
}

TEST_F(GutterTest, OnlyVerticalScrollAndTimerMessagesMarkDirty) {
  const intptr_t hwnd = surface().windowHandle();
  // WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_HSCROLL
  for (uint32_t message : {0x100u, 0x102u, 0x200u, 0x20Au, 0x114u}) {
    platform.windows().sendMessage(hwnd, message);
    EXPECT_FALSE(dirty()) << std::hex << message;
  }
  platform.windows().sendMessage(hwnd, kWmTimer);
  EXPECT_TRUE(dirty());
}

TEST_F(GutterTest, SecondControlOnTheThreadDoesNotHookItsEditor) {
  HeadlessControl& second = platform.createControl();
  TaviColorText other(second.widgets());
  const intptr_t hwnd2 = second.surface().windowHandle();
  EXPECT_EQ(platform.windows().windowProc(hwnd2), &HeadlessWindowSystem::defaultWindowProc);
  EXPECT_EQ(platform.windows().windowProc(surface().windowHandle()), &EditorWndProc);
  platform.windows().sendMessage(hwnd2, kWmVScroll);
  EXPECT_FALSE(dirty());
}

TEST_F(GutterTest, TerminateUnhooksTheEditor) {
  control.terminate();
  EXPECT_FALSE(control.module().m_bHooked);
  EXPECT_EQ(platform.windows().windowProc(surface().windowHandle()),
            &HeadlessWindowSystem::defaultWindowProc);
  widgets.scroll(1);
  EXPECT_FALSE(dirty());
}

}  // namespace
}  // namespace tavi
