#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "headless/printer_system.h"
#include "printing/listing_text.h"
#include "printing/page_layout.h"
#include "support/error_number.h"

namespace tavi {
namespace {

// A letter page's frame is in the printing_three_lines scenario.
TEST(PageGeometry, EdgesRoundHalvesToTheEvenNeighbourAndThePageIsFullAtTheLimit) {
  EXPECT_EQ(pageGeometry(12255, 15840).margin, 408);   // 408.5
  EXPECT_EQ(pageGeometry(12285, 15840).margin, 410);   // 409.5
  EXPECT_EQ(pageGeometry(12255, 15840).right, 11357);  // 11847 - 490.2
  // The page size is rounded first: 12254.5 -> 12254 (m 408.47), 12255.5 -> 12256 (408.53).
  EXPECT_EQ(pageGeometry(12254.5, 15840).margin, 408);
  EXPECT_EQ(pageGeometry(12255.5, 15840).margin, 409);
  EXPECT_EQ(pageGeometry(12240, 15841.5).frameTop, 566.42f);  // H 15842
  EXPECT_THROW(pageGeometry(1e6, 15840), RuntimeError);       // 2 m beyond 16 bits
  const PageGeometry g = pageGeometry(12240, 15840);
  EXPECT_FALSE(pageFull(g, 14662, 216));
  EXPECT_TRUE(pageFull(g, 14663, 216));
}

class ListingTest : public ::testing::Test {
 protected:
  std::vector<PrintedDocument> print(TextView text) {
    failure = testing::errorNumberOf([&] { PrintDocument(printers.current(), text); });
    return printers.printer().drainDocuments();
  }
  static std::vector<Text> texts(const PrintedPage& page) {
    std::vector<Text> out;
    for (const PrintOperation& op : page)
      if (const auto* t = std::get_if<PrintedText>(&op)) out.push_back(t->text);
    return out;
  }
  std::vector<Text> firstPage(TextView text) { return texts(print(text).at(0).pages.at(0)); }
  HeadlessPrinterSystem printers;
  int failure = 0;
};

TEST_F(ListingTest, EmptyLinesOverlongWordsAndEmptyScripts) {
  EXPECT_EQ(firstPage(u"A\r\n\r\nB"), (std::vector<Text>{u"1   A", u"2    ", u"3   B"}));
  const Text word(100, u'x');
  EXPECT_EQ(firstPage(word), (std::vector<Text>{u"1   ", u"", word}));
  // An empty script prints the frame of one page and ends the document.
  const std::vector<PrintedDocument> empty = print(u"");
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_TRUE(empty[0].ended);
  ASSERT_EQ(empty[0].pages.size(), 1u);
  EXPECT_EQ(empty[0].pages[0].size(), 4u);
}

TEST_F(ListingTest, LineNumberOverflowsAfterLine32767) {
  Text script;
  for (int i = 0; i < 32768; ++i) script += u"A\r\n";
  const std::vector<PrintedDocument> docs = print(script);
  EXPECT_EQ(failure, err::kOverflow);
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_FALSE(docs[0].ended);  // abandoned, not ended
  EXPECT_EQ(texts(docs[0].pages.back()).back(), u"32767   A");
}

template <typename Views>
std::vector<Text> piecesOf(const Views& views) {
  return std::vector<Text>(views.begin(), views.end());
}

std::vector<Text> linesOf(TextView editorText) {
  const Text normalised = normaliseLineEnds(editorText);
  return piecesOf(scriptLines(normalised));
}

TEST(ListingText, LineEndsDropCarriageReturnsUnlessTheTextStartsWithALineFeed) {
  EXPECT_EQ(normaliseLineEnds(u"A\rB\nC"), u"AB\rC");  // a lone CR is no line end
  EXPECT_EQ(linesOf(u"A\r\nB\r\n"), (std::vector<Text>{u"A", u"B"}));
  EXPECT_EQ(linesOf(u"A\r\n\r\nB"), (std::vector<Text>{u"A", u"", u"B"}));
  EXPECT_EQ(linesOf(u"\r\n"), (std::vector<Text>{u""}));
  EXPECT_TRUE(linesOf(u"").empty());
  EXPECT_TRUE(linesOf(u"\r\r").empty());
  EXPECT_EQ(normaliseLineEnds(u"\nA\r\nB"), u"\rA\r\rB");
  // Every CR of a pair starts a further, empty line.
  EXPECT_EQ(linesOf(u"\nA\r\nB\r\n"), (std::vector<Text>{u"", u"A", u"", u"B", u""}));
  EXPECT_EQ(linesOf(u"\n"), (std::vector<Text>{u""}));
}

TEST(ListingText, BlanksStayWithTheWordBeforeThem) {
  EXPECT_EQ(piecesOf(splitWords(u"  WAIT  2")),
            (std::vector<Text>{u" ", u" ", u"WAIT ", u" ", u"2"}));
  EXPECT_EQ(piecesOf(splitWords(u"END ")), (std::vector<Text>{u"END ", u""}));
  EXPECT_EQ(piecesOf(splitWords(u"")), (std::vector<Text>{u""}));
  EXPECT_EQ(piecesOf(splitWords(u"a\tb")), (std::vector<Text>{u"a\tb"}));  // only blanks split
}

}  // namespace
}  // namespace tavi
