#include <gtest/gtest.h>

#include <vector>

#include "printing/listing_text.h"

namespace tavi {
namespace {

template <typename Views>
std::vector<Text> texts(const Views& views) {
  return std::vector<Text>(views.begin(), views.end());
}

std::vector<Text> linesOf(TextView editorText) {
  const Text normalised = normaliseLineEnds(editorText);
  return texts(scriptLines(normalised));
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
  EXPECT_EQ(texts(splitWords(u"  WAIT  2")), (std::vector<Text>{u" ", u" ", u"WAIT ", u" ", u"2"}));
  EXPECT_EQ(texts(splitWords(u"END ")), (std::vector<Text>{u"END ", u""}));
  EXPECT_EQ(texts(splitWords(u"")), (std::vector<Text>{u""}));
  EXPECT_EQ(texts(splitWords(u"a\tb")), (std::vector<Text>{u"a\tb"}));  // only blanks split
}

}  // namespace
}  // namespace tavi
