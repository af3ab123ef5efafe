// Whole-text colouring on the Qt widget, whose surface styles run by run through its
// selection (the editing surface's default): the same colours as line by line, and the
// person's selection, the journal and the host's events untouched.
#include "widget_fixture.h"

namespace tavi {
namespace {

using QtColourAllTest = testing::QtWidgetFixture;

TEST_F(QtColourAllTest, ColourAllAndColourOnLoadColourEveryKeywordAndKeepTheSelection) {
  const QString script = QStringLiteral("IF A THEN\r\n\r\nIDLE AGENT COUNT(x) > 0\r\nif QUIT");
  // Keyword characters of the script (after the load, with CR LF line breaks).
  const std::vector<std::pair<int32_t, int32_t>> keywords = {{0, 2}, {5, 4}, {13, 16}, {41, 4}};
  const auto expectColoured = [&] {
    const QString text = value();
    for (int32_t i = 0; i < text.size(); ++i) {
      // A line break is one paragraph separator in the document: its format is the block's.
      if (text[i] == u'\r' || text[i] == u'\n') continue;
      bool keyword = false;
      for (const auto& [start, length] : keywords) keyword |= i >= start && i < start + length;
      EXPECT_EQ(isKeyword(i), keyword) << "offset " << i;
    }
  };

  widget.setText(script);
  EXPECT_FALSE(isKeyword(0)) << "loading colours nothing by default";
  widget.surface().setSelStart(3);
  widget.surface().setSelLength(6);
  const int32_t snapshots = widget.control().m_colUndo.count();
  changes = 0;
  events.clear();
  EXPECT_TRUE(widget.dynamicCall(QStringLiteral("ColourAll")).isNull());
  expectColoured();
  EXPECT_EQ(widget.selectedText(), QStringLiteral("A THEN"));
  EXPECT_EQ(widget.control().m_colUndo.count(), snapshots);
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(events.empty());

  widget.selectAll();
  widget.setProperty("ColourOnLoad", true);
  widget.setText(script);
  expectColoured();
}

// Runs that follow on from each other are styled plain in one go; runs with a gap between
// them leave the gap's style alone.
TEST_F(QtColourAllTest, StyleRunsWithAGapLeaveTheGapAlone) {
  widget.setText(QStringLiteral("IF A THEN"));
  const StyleRun all[] = {{.start = 0, .length = 9, .color = kColorKeyword, .bold = true}};
  widget.surface().applyStyleRuns(all);
  const StyleRun apart[] = {{.start = 0, .length = 2}, {.start = 5, .length = 4}};
  widget.surface().applyStyleRuns(apart);
  EXPECT_FALSE(isKeyword(0));
  EXPECT_TRUE(isKeyword(3)) << "the gap keeps its style";
  EXPECT_FALSE(isKeyword(6));
  const StyleRun joined[] = {{.start = 0, .length = 3},
                             {.start = 3, .length = 1, .color = kColorKeyword, .bold = true},
                             {.start = 4, .length = 5}};
  widget.surface().applyStyleRuns(joined);
  EXPECT_FALSE(isKeyword(2));
  EXPECT_TRUE(isKeyword(3));
  EXPECT_FALSE(isKeyword(4));
}

}  // namespace
}  // namespace tavi
