// The mapping between the control's CR LF offsets and the document's positions, on a
// text with an empty line and a trailing break.
#include "qt/offset_map.h"

#include <gtest/gtest.h>

#include <QTextDocument>

namespace tavi::qt {
namespace {

class OffsetMapTest : public ::testing::Test {
 protected:
  OffsetMapTest() { doc.setPlainText(QStringLiteral("AB\nCD\n\nE\n")); }
  QTextDocument doc;
  OffsetMap map{doc};
  // Control offsets: A 0, B 1, CR 2, LF 3, C 4, D 5, CR 6, LF 7, CR 8, LF 9, E 10, CR 11,
  // LF 12, end 13. Document positions: A 0, B 1, C 3, D 4, E 7, end 9.
};

TEST_F(OffsetMapTest, OffsetsMapToPositionsOnTheSideAskedForBetweenCrAndLf) {
  // {offset, position before, position after}; 3 and 9 lie between a CR and its LF.
  const int32_t rows[][3] = {{0, 0, 0},  {2, 2, 2},  {4, 3, 3}, {6, 5, 5}, {8, 6, 6},  {10, 7, 7},
                             {11, 8, 8}, {13, 9, 9}, {3, 2, 3}, {9, 6, 7}, {-4, 0, 0}, {99, 9, 9}};
  for (const auto& [offset, before, after] : rows) {
    EXPECT_EQ(map.toPosition(offset, BreakSide::kBefore), before) << offset;
    EXPECT_EQ(map.toPosition(offset, BreakSide::kAfter), after) << offset;
    if (before == after && offset >= 0 && offset <= 13) {
      EXPECT_EQ(map.toOffset(before), offset);
    }
  }
}

TEST_F(OffsetMapTest, ARangeHoldingHalfABreakCoversAllOfIt) {
  // {start, length, from, to}: from the LF over "CD"; "CD" and the next CR; a caret
  // between CR and LF is an empty range at the line's end.
  const int rows[][4] = {{3, 3, 2, 5}, {4, 3, 3, 6}, {3, 0, 2, 3}};
  for (const auto& [start, length, wantFrom, wantTo] : rows) {
    int from = 0, to = 0;
    map.toRange(start, length, from, to);
    EXPECT_EQ(from, wantFrom) << start << "+" << length;
    EXPECT_EQ(to, wantTo) << start << "+" << length;
  }
}

TEST_F(OffsetMapTest, TextLengthAndLinesCountEveryBreakAsTwoCharacters) {
  EXPECT_EQ(map.text(), u"AB\r\nCD\r\n\r\nE\r\n");
  EXPECT_EQ(map.length(), 13);
  EXPECT_EQ(OffsetMap(QTextDocument()).length(), 0);
  const std::pair<int32_t, int32_t> lines[] = {{0, 0}, {3, 0},  {4, 1},  {8, 2},
                                               {9, 2}, {10, 3}, {13, 4}, {99, 4}};
  for (const auto& [offset, line] : lines) EXPECT_EQ(map.lineOf(offset), line) << offset;
  EXPECT_EQ(map.lineStart(1), 4);
  EXPECT_EQ(map.lineStart(3), 10);
  EXPECT_EQ(map.lineStart(4), 13);
}

}  // namespace
}  // namespace tavi::qt
