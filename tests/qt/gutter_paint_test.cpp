// The Qt gutter's record of its last paint, as the headless gutter keeps one: the
// background over the whole gutter, each number, and the rule down its right edge.
#include "qt/gutter_canvas.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

using QtGutterPaintTest = testing::QtWidgetFixture;

TEST_F(QtGutterPaintTest, ThePaintRecordHoldsTheBackgroundTheNumbersAndTheRule) {
  qt::QtGutterCanvas& canvas = widget.gutterCanvas();
  const auto numbers = [&] {
    std::vector<Text> texts;
    for (const qt::GutterNumber& n : canvas.lastPaint()->numbers) texts.push_back(n.text);
    return texts;
  };
  widget.setText(QStringLiteral("WAIT 2\r\nQUIT\r\nEND"));
  canvas.paint();
  const std::optional<qt::GutterPaintRecord>& paint = canvas.lastPaint();
  ASSERT_TRUE(paint.has_value());
  const PixelRect client = canvas.clientRect();
  ASSERT_TRUE(paint->fill.has_value());
  EXPECT_EQ(paint->fill->right, client.right);
  EXPECT_EQ(paint->fill->bottom, client.bottom);
  const qt::QtScreen& screen = widget.services().screen;
  EXPECT_EQ(paint->fillColor, screen.systemColor(15).value()) << "the button face";
  EXPECT_EQ(numbers(), (std::vector<Text>{u"1", u"2", u"3"}));
  ASSERT_FALSE(paint->lines.empty());
  const qt::GutterLine& rule = paint->lines.back();
  EXPECT_EQ(rule.x1, client.right - 1);
  EXPECT_EQ(rule.x2, client.right - 1);
  EXPECT_EQ(rule.y2, client.bottom);
  EXPECT_EQ(rule.color, screen.systemColor(16).value()) << "the button shadow";

  // Each paint starts a record of its own.
  canvas.paint();
  EXPECT_EQ(numbers(), (std::vector<Text>{u"1", u"2", u"3"}));
}

}  // namespace
}  // namespace tavi
