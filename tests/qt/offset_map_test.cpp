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

TEST_F(OffsetMapTest, TextAndLengthCountEveryLineBreakTwice) {
  EXPECT_EQ(map.text(), u"AB\r\nCD\r\n\r\nE\r\n");
  EXPECT_EQ(map.length(), 13);
  QTextDocument empty;
  EXPECT_EQ(OffsetMap(empty).length(), 0);
  EXPECT_EQ(OffsetMap(empty).text(), u"");
}

TEST_F(OffsetMapTest, PositionsAndOffsetsRoundTripOutsideTheBreaks) {
  const std::pair<int, int32_t> pairs[] = {{0, 0}, {2, 2},  {3, 4},  {5, 6},
                                           {6, 8}, {7, 10}, {8, 11}, {9, 13}};
  for (const auto& [position, offset] : pairs) {
    EXPECT_EQ(map.toOffset(position), offset) << position;
    EXPECT_EQ(map.toPosition(offset, BreakSide::kBefore), position) << offset;
    EXPECT_EQ(map.toPosition(offset, BreakSide::kAfter), position) << offset;
  }
}

TEST_F(OffsetMapTest, AnOffsetBetweenCrAndLfTakesTheSideAskedFor) {
  // 3 lies between the CR and the LF of the first line; 9 of the empty line.
  EXPECT_EQ(map.toPosition(3, BreakSide::kBefore), 2);
  EXPECT_EQ(map.toPosition(3, BreakSide::kAfter), 3);
  EXPECT_EQ(map.toPosition(9, BreakSide::kBefore), 6);
  EXPECT_EQ(map.toPosition(9, BreakSide::kAfter), 7);
  // Clamped at both ends.
  EXPECT_EQ(map.toPosition(-4, BreakSide::kAfter), 0);
  EXPECT_EQ(map.toPosition(99, BreakSide::kBefore), 9);
}

TEST_F(OffsetMapTest, ARangeHoldingHalfABreakCoversAllOfIt) {
  int from = 0;
  int to = 0;
  // From the LF of line 0 over "CD": starts before the separator.
  map.toRange(3, 3, from, to);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 5);
  // "CD" and the CR of line 1: ends after its separator.
  map.toRange(4, 3, from, to);
  EXPECT_EQ(from, 3);
  EXPECT_EQ(to, 6);
  // A caret between CR and LF is an empty range at the line's end.
  map.toRange(3, 0, from, to);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 3);
}

TEST_F(OffsetMapTest, LinesOfOffsets) {
  const std::pair<int32_t, int32_t> lines[] = {{0, 0}, {3, 0},  {4, 1},  {8, 2},
                                               {9, 2}, {10, 3}, {13, 4}, {99, 4}};
  for (const auto& [offset, line] : lines) EXPECT_EQ(map.lineOf(offset), line) << offset;
  EXPECT_EQ(map.lineStart(1), 4);
  EXPECT_EQ(map.lineStart(3), 10);
  EXPECT_EQ(map.lineStart(4), 13);
}

}  // namespace
}  // namespace tavi::qt
