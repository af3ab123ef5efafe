#include "search/find.h"

#include <tuple>

#include "support/control_fixture.h"

namespace tavi {
namespace {

constexpr char16_t kFinished[] = u"Search finished";
constexpr char16_t kNotFound[] = u"Not found";
constexpr int32_t kMessage = -1;  // a call that ends with the message instead of a match

class FindTest : public testing::ControlFixture, public ::testing::WithParamInterface<bool> {
 protected:
  FindTest() {
    control.m_strFinishSearch = kFinished;
    control.m_strNotFoundText = kNotFound;
  }
  int32_t& position() { return control.module().m_lLastCaret; }
  // One search through FindSE or (with the parameter) FindSE_New; returns the message the
  // person or the host got, "" after a match.
  Text find(TextView what, bool matchCase, bool up) {
    if (GetParam()) return control.FindSE_New(what, matchCase, up);
    EXPECT_TRUE(control.FindSE(what, matchCase, up).isEmpty());
    const std::vector<RecordedMessageBox> boxes = platform.messageBoxes().drain();
    return boxes.empty() ? Text() : boxes.at(0).text;
  }
};

// One call: the text to load (nullptr: go on from the previous call), the search text,
// upward, match case, the start of the selected match (or kMessage), the search position
// after, the message. A row with a text to load starts a run at search position 0 (the load
// clears bFind, so a miss before the run's first match is "not found"). The plain downward
// and upward runs are in the find_replace scenario.
using Call = std::tuple<const char16_t*, Text, bool, bool, int32_t, int32_t, Text>;
const Call kCalls[] = {
    // The next upward match must end before the last one's position: no overlap.
    {u"abab", u"ab", true, true, 2, 1, u""},
    {nullptr, u"ab", true, true, kMessage, 1, kFinished},
    {u"x ABC", u"abc", false, true, kMessage, 0, kNotFound},
    {nullptr, u"abc", true, true, kMessage, 5, kNotFound},
    {nullptr, u"abc", true, false, 2, -2, u""},
    {nullptr, u"abc", false, false, 2, 5, u""},
    {u"", u"a", true, false, kMessage, 0, kNotFound},
    // -1 is left by an upward match at the top; the surface searches from the start.
    {u"ab-x", u"ab", true, true, 0, -1, u""},
    {nullptr, u"ab", false, true, 0, 2, u""},
    {nullptr, u"ab", true, true, 0, -1, u""},
    // An empty search text finds nothing in either direction and keeps the position.
    {u"abc", u"b", false, false, 1, 2, u""},
    {nullptr, u"", false, false, kMessage, 2, kFinished},
    {nullptr, u"", true, false, kMessage, 2, kFinished},
};

TEST_P(FindTest, Calls) {
  for (const Call& call : kCalls) {
    SCOPED_TRACE("row " + std::to_string(&call - kCalls));
    const auto& [loaded, what, up, matchCase, start, positionAfter, message] = call;
    if (loaded) {
      load(loaded);
      position() = 0;
    }
    const int32_t selStart = widgets.surface().selStart();
    EXPECT_EQ(find(what, matchCase, up), message);
    EXPECT_EQ(position(), positionAfter);
    EXPECT_EQ(control.m_FindText, what);
    if (start == kMessage) {
      EXPECT_EQ(widgets.surface().selStart(), selStart) << "selection left alone";
    } else {
      EXPECT_EQ(widgets.surface().selStart(), start);
      EXPECT_EQ(widgets.surface().selLength(), static_cast<int32_t>(what.size()));
      EXPECT_FALSE(widgets.surface().hideSelection());
      EXPECT_TRUE(control.bFind);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FindSEAndFindSE_New, FindTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "FindSE_New" : "FindSE"; });

}  // namespace
}  // namespace tavi
