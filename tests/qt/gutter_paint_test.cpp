// The Qt gutter's record of its last paint, as the headless gutter keeps one: the
// background over the whole gutter, each number, and the rule down its right edge.
#include <functional>
#include <vector>

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

// A keystroke draws only the rows whose number or colour changed; what the gutter then shows,
// pixels and record, is what painting it whole shows.
TEST_F(QtGutterPaintTest, RowsDrawnAloneShowWhatAWholePaintShows) {
  qt::QtGutterCanvas& canvas = widget.gutterCanvas();
  const auto texts = [&] {
    std::vector<Text> out;
    for (const qt::GutterNumber& n : canvas.lastNumbers()) out.push_back(n.text);
    return out;
  };
  widget.setText(QStringLiteral("WAIT 2\r\nQUIT\r\nEND"));
  canvas.paint();
  widget.surface().setSelStart(4);
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<Text> numbers;
  };
  const std::vector<Step> steps = {
      {.what = "a character",
       .act = [&] { type(QStringLiteral("x")); },
       .numbers = {u"1", u"2", u"3"}},
      {.what = "a new line",
       .act = [&] { key(Qt::Key_Return); },
       .numbers = {u"1", u"2", u"3", u"4"}},
      {.what = "the caret two lines down",
       .act =
           [&] {
             key(Qt::Key_Down);
             key(Qt::Key_Down);
           },
       .numbers = {u"1", u"2", u"3", u"4"}},
      {.what = "a line joined",
       .act =
           [&] {
             key(Qt::Key_Backspace);
             key(Qt::Key_Backspace);
           },
       .numbers = {u"1", u"2", u"3"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    QApplication::processEvents();
    canvas.paint();
    EXPECT_EQ(texts(), step.numbers);
    const QImage drawn = canvas.image().copy();
    const std::vector<qt::GutterNumber> recorded = canvas.lastNumbers();
    widget.control().m_gutterShown = {};  // forgotten: the next paint is whole
    canvas.paint();
    EXPECT_EQ(drawn, canvas.image());
    ASSERT_EQ(recorded.size(), canvas.lastNumbers().size());
    for (size_t i = 0; i < recorded.size(); ++i) {
      EXPECT_EQ(recorded[i].text, canvas.lastNumbers()[i].text);
      EXPECT_EQ(recorded[i].color, canvas.lastNumbers()[i].color);
      EXPECT_EQ(recorded[i].rect.top, canvas.lastNumbers()[i].rect.top);
    }
  }
}

}  // namespace
}  // namespace tavi
