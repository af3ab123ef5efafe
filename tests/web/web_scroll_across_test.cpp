// The browser control's editing area scrolled across: what the page is told to draw and
// where a press lands, and the sheet a print job gives the listing page.
#include <gtest/gtest.h>

#include "web/web_control.h"

#include "shell/keys.h"

namespace tavi::web {
namespace {

class ScrollAcrossTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web.put("Load_flag", Variant::fromBool(false));
    web.put("m_bFirstTime", Variant::fromBool(false));
    web.focus(FocusPlace::kSurface);
    web.resize(400, 10 * 16);
  }
  int32_t width() { return web.view().editor.width; }

  WebControl web;
};

TEST_F(ScrollAcrossTest, TypingPastTheRightEdgeKeepsTheCaretInViewAQuarterAhead) {
  const int32_t columns = width() / 8;
  web.typeText(Text(columns - 2, u'A'));
  EXPECT_EQ(web.view().scrollX, 0) << "a caret still in view scrolls nothing";

  web.typeText(u"BBBB");
  const ViewSnapshot v = web.view();
  EXPECT_GT(v.scrollX, 0);
  EXPECT_GE(v.caretX, 0);
  EXPECT_LE(v.caretX + HeadlessEditSurface::kCaretRoom, v.editor.width);
  EXPECT_EQ(v.caretX, (columns + 2) * 8 - v.scrollX) << "the caret pixel is on screen";
  EXPECT_GE(v.editor.width - v.caretX, v.editor.width / 4 - 8) << "it jumps, not a cell";
  EXPECT_EQ(v.widestLine, (columns + 2) * 8);
  EXPECT_GE(v.scrollWidth, v.editor.width + v.scrollX);

  // Home scrolls back to the start.
  web.keyDown(vk::kHome, 0, false);
  EXPECT_EQ(web.view().scrollX, 0);
}

TEST_F(ScrollAcrossTest, APressLandsOnTheColumnUnderItInTheScrolledArea) {
  web.typeText(Text(200, u'A'));
  web.scrollX(160);
  web.mouseDown(1, 0, 3 * 8, 4);
  web.mouseUp(1, 0, 3 * 8, 4);
  const ViewSnapshot v = web.view();
  EXPECT_EQ(v.selStart, 20 + 3);
  EXPECT_EQ(v.scrollX, 160) << "a press on a column in view does not scroll";
  EXPECT_EQ(v.caretX, 3 * 8);

  web.scrollX(-5);
  EXPECT_EQ(web.view().scrollX, 0);
}

TEST_F(ScrollAcrossTest, ACaretOnTheLastRowStaysInViewWhenTheAreaLosesARow) {
  for (int i = 0; i < 9; ++i) web.typeText(u"WAIT 1\r\n");
  ASSERT_EQ(web.view().caretLine, 9);
  web.resize(400, 9 * 16);  // the page's horizontal bar came
  const ViewSnapshot v = web.view();
  EXPECT_EQ(v.firstVisibleLine, 1);
  EXPECT_EQ(v.caretY, 8 * 16);
}

TEST(ScrollAcrossPrintTest, EachJobGivesItsSheetByItsOrientation) {
  HeadlessPlatform platform;
  WebControl web(platform);
  web.put("Load_flag", Variant::fromBool(false));
  web.put("m_bFirstTime", Variant::fromBool(false));
  web.put("Text", Variant::fromString(u"WAIT 1"));
  const auto printedPage = [&](std::optional<int16_t> orientation) {
    DialogAnswer answer;
    answer.choices.orientation = orientation;
    platform.printers().scriptDialog(answer);
    web.call("PrinterSE", {Variant::fromI4(0)});
    EXPECT_TRUE(web.printout().has_value());
    return WebControl::pageSizeOf(*web.printout());
  };
  const PageSize landscape = printedPage(2);
  EXPECT_EQ(landscape.width, 15840);
  EXPECT_EQ(landscape.height, 12240);
  const PageSize portrait = printedPage(1);
  EXPECT_EQ(portrait.width, 12240);
  EXPECT_EQ(portrait.height, 15840);
}

}  // namespace
}  // namespace tavi::web
