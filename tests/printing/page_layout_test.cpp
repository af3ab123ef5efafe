#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "headless/printer_system.h"
#include "printing/page_layout.h"
#include "shell/runtime_error.h"

namespace tavi {
namespace {

TEST(PageGeometry, LetterPage) {
  const PageGeometry g = pageGeometry(12240, 15840);
  EXPECT_EQ(g.margin, 408);
  EXPECT_EQ(g.textTop, 816);
  EXPECT_EQ(g.right, 11342);   // 11832 - 489.6
  EXPECT_EQ(g.bottom, 14979);  // 15432 - 452.57
  EXPECT_EQ(g.frameTop, 566.4f);
  EXPECT_EQ(g.pageFullLimit, 14879);
}

TEST(PageGeometry, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(pageGeometry(12255, 15840).margin, 408);   // 408.5
  EXPECT_EQ(pageGeometry(12285, 15840).margin, 410);   // 409.5
  EXPECT_EQ(pageGeometry(12255, 15840).right, 11357);  // 11847 - 490.2
  // The page size is rounded first: 12254.5 -> 12254 (m 408.47), 12255.5 -> 12256 (408.53).
  EXPECT_EQ(pageGeometry(12254.5, 15840).margin, 408);
  EXPECT_EQ(pageGeometry(12255.5, 15840).margin, 409);
  EXPECT_EQ(pageGeometry(12240, 15840.5).bottom, 14979);
  EXPECT_EQ(pageGeometry(12240, 15841.5).frameTop, 566.42f);  // H 15842
  EXPECT_THROW(pageGeometry(1e6, 15840), RuntimeError);       // 2 m beyond 16 bits
}

TEST(PageGeometry, PageCheckIsFullAtTheLimit) {
  const PageGeometry g = pageGeometry(12240, 15840);
  EXPECT_FALSE(pageFull(g, 14662, 216));
  EXPECT_TRUE(pageFull(g, 14663, 216));
}

class ListingTest : public ::testing::Test {
 protected:
  // The texts printed in the only document, with their x and y.
  std::vector<PrintedDocument> print(TextView text) {
    try {
      PrintDocument(printers.current(), text);
    } catch (const RuntimeError& e) {
      failure = e.number();
    }
    return printers.printer().drainDocuments();
  }
  static std::vector<PrintedText> texts(const PrintedPage& page) {
    std::vector<PrintedText> out;
    for (const PrintOperation& op : page)
      if (const auto* t = std::get_if<PrintedText>(&op)) out.push_back(*t);
    return out;
  }
  HeadlessPrinterSystem printers;
  int failure = 0;
};

TEST_F(ListingTest, NumbersAreRightAlignedBeforeTheTextColumn) {
  Text script;
  for (int i = 1; i <= 10; ++i) script += u"WAIT 2\r\n";
  const std::vector<PrintedText> lines = texts(print(script).at(0).pages.at(0));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[8].text, u"9   WAIT 2");
  EXPECT_EQ(lines[8].x, 1224 - 4 * 108);
  EXPECT_EQ(lines[9].text, u"10   WAIT 2");
  EXPECT_EQ(lines[9].x, 1224 - 5 * 108);
  EXPECT_EQ(lines[9].y, 816 + 9 * 216);
}

TEST_F(ListingTest, EmptyLineStillShowsItsNumber) {
  const std::vector<PrintedText> lines = texts(print(u"A\r\n\r\nB").at(0).pages.at(0));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, u"2    ");
}

TEST_F(ListingTest, BrokenLineContinuesUnderTheTextColumnAfterABlankLine) {
  // 93 characters fit between the text column (1224) and R (11342) at 108 twips each.
  const Text first(80, u'a');
  const Text second(20, u'b');
  const std::vector<PrintedText> lines = texts(print(first + u" " + second).at(0).pages.at(0));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, u"1   " + first + u" ");
  EXPECT_EQ(lines[1].text, u"");
  EXPECT_EQ(lines[2].text, second);
  EXPECT_EQ(lines[2].x, 1224);
  EXPECT_EQ(lines[2].y, 816 + 2 * 216);
}

TEST_F(ListingTest, ContinuationSegmentsStayInsideTheFrame) {
  Text line;
  for (int i = 0; i < 60; ++i) line += u"SKILLSET ";
  for (const PrintedText& t : texts(print(line).at(0).pages.at(0)))
    EXPECT_LT(t.x + 108.0 * static_cast<double>(t.text.size()), 11342) << t.y;
}

TEST_F(ListingTest, OverlongFirstWordLeavesTheNumberAlone) {
  const Text word(100, u'x');
  const std::vector<PrintedText> lines = texts(print(word).at(0).pages.at(0));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, u"1   ");
  EXPECT_EQ(lines[1].text, u"");
  EXPECT_EQ(lines[2].text, word);
  EXPECT_EQ(lines[2].x, 1224);
}

TEST_F(ListingTest, PageBreaksBeforeTheLineThatWouldReachTheLimit) {
  Text script;
  for (int i = 0; i < 66; ++i) script += u"GIVE RINGBACK\r\n";
  const std::vector<PrintedDocument> docs = print(script);
  ASSERT_EQ(docs.size(), 1u);
  ASSERT_EQ(docs[0].pages.size(), 2u);
  EXPECT_EQ(texts(docs[0].pages[0]).back().y, 816 + 64 * 216);  // 14640 + 216 < 14879
  const PrintedPage& second = docs[0].pages[1];
  ASSERT_EQ(second.size(), 5u);  // a new frame, then line 66 at the top
  EXPECT_TRUE(std::holds_alternative<PrintedLine>(second[0]));
  EXPECT_EQ(texts(second)[0].text, u"66   GIVE RINGBACK");
  EXPECT_EQ(texts(second)[0].y, 816);
}

TEST_F(ListingTest, EmptyScriptPrintsTheFrameAndEndsTheDocument) {
  const std::vector<PrintedDocument> docs = print(u"");
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_TRUE(docs[0].ended);
  ASSERT_EQ(docs[0].pages.size(), 1u);
  EXPECT_EQ(docs[0].pages[0].size(), 4u);
  EXPECT_TRUE(texts(docs[0].pages[0]).empty());
}

TEST_F(ListingTest, LineNumberOverflowsAfterLine32767) {
  Text script;
  for (int i = 0; i < 32768; ++i) script += u"A\r\n";
  const std::vector<PrintedDocument> docs = print(script);
  EXPECT_EQ(failure, err::kOverflow);
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_FALSE(docs[0].ended);  // abandoned, not ended
  EXPECT_EQ(texts(docs[0].pages.back()).back().text, u"32767   A");
}

}  // namespace
}  // namespace tavi
