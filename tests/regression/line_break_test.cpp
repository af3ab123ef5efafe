// Found while measuring large inputs: a mouse selection asked to start between the CR and
// the LF of a line break put the caret there, and typing split the line break in two.
#include <gtest/gtest.h>

#include "support/control_fixture.h"

namespace tavi {
namespace {

using LineBreakRegression = testing::ControlFixture;

TEST_F(LineBreakRegression, MouseSelectionNeverSplitsALineBreak) {
  load(u"AB\nCD");
  widgets.select(3, 0);  // between CR and LF
  widgets.type(u"x");
  EXPECT_EQ(text(), u"ABx\r\nCD");
  widgets.select(1, 2);  // ends between CR and LF
  EXPECT_EQ(widgets.surface().selText(), u"Bx");
  EXPECT_EQ(widgets.surface().lineCount(), 2);
}

}  // namespace
}  // namespace tavi
