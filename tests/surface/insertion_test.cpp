#include "surface/insertion.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

TEST(InsertionTest, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(withCrLfBreaks(u"a\rb\nc\r\nd"), u"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(withCrLfBreaks(u"\n\r"), u"\r\n\r\n") << "LF CR is two breaks, not one";
  EXPECT_EQ(withCrLfBreaks(u"x\r"), u"x\r\n");
}

TEST(InsertionTest, TheMaximumLengthCutsBeforeAPairItWouldSplit) {
  struct Case {
    TextView insert;
    int32_t maxLength, textLength, selLength;
    TextView fits;
  };
  const Case cases[] = {
      {.insert = u"abc", .maxLength = 0, .textLength = 50, .selLength = 0, .fits = u"abc"},
      {.insert = u"abc", .maxLength = 10, .textLength = 8, .selLength = 0, .fits = u"ab"},
      {.insert = u"abc", .maxLength = 10, .textLength = 9, .selLength = 2, .fits = u"abc"},
      {.insert = u"a\r\nb", .maxLength = 10, .textLength = 8, .selLength = 0, .fits = u"a"},
      {.insert = u"a\xD83D\xDE00", .maxLength = 10, .textLength = 8, .selLength = 0, .fits = u"a"},
      {.insert = u"abc", .maxLength = 5, .textLength = 9, .selLength = 0, .fits = u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.insert) + " into " + std::to_string(c.textLength));
    EXPECT_EQ(fittingInsert(c.insert, c.maxLength, c.textLength, c.selLength), c.fits);
  }
}

}  // namespace
}  // namespace tavi
