#include "surface/insertion.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

// Fitting to the maximum length is checked through the headless surface (SurfaceTest).
TEST(InsertionTest, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(withCrLfBreaks(u"a\rb\nc\r\nd"), u"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(withCrLfBreaks(u"\n\r"), u"\r\n\r\n") << "LF CR is two breaks, not one";
  EXPECT_EQ(withCrLfBreaks(u"x\r"), u"x\r\n");
}

}  // namespace
}  // namespace tavi
