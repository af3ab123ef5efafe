#include "search/find.h"

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
    control.m_strScriptEditor = u"Script Editor";
    position() = 0;
  }
  int32_t& position() { return control.module().m_lLastCaret; }
  // One search through FindSE or (with the parameter) FindSE_New; returns the message the
  // person or the host got, "" after a match.
  Text find(TextView what, bool matchCase, bool up) {
    if (GetParam()) {
      const Text result = control.FindSE_New(what, matchCase, up);
      EXPECT_TRUE(platform.messageBoxes().drain().empty());
      return result;
    }
    EXPECT_TRUE(control.FindSE(what, matchCase, up).isEmpty());
    const std::vector<RecordedMessageBox> boxes = platform.messageBoxes().drain();
    if (boxes.empty()) return Text();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].style, 64);
    EXPECT_EQ(boxes[0].title, u"Script Editor");
    return boxes[0].text;
  }
};

struct Call {
  bool up;
  bool matchCase;
  int32_t start;  // of the selected match, or kMessage
  int32_t positionAfter;
  const char16_t* message = u"";
};

struct Sequence {
  const char* name;
  const char16_t* text;
  const char16_t* what;
  std::vector<Call> calls;
};

const Sequence kSequences[] = {
    {"DownwardsThenFinished",
     u"abc abc",
     u"abc",
     {{false, false, 0, 3}, {false, false, 4, 7}, {false, false, kMessage, 7, kFinished}}},
    {"NothingFoundSinceTheLoad", u"abc abc", u"xyz", {{false, false, kMessage, 0, kNotFound}}},
    {"UpwardsReachesTheTopThenDownFromZero",
     u"a-a",
     u"a",
     {{true, true, 2, 2},
      {true, true, 0, -2},
      {true, true, kMessage, -2, kFinished},
      {false, true, 0, 1}}},
    {"UpwardsSkipsAnOverlapWithTheLastMatch",
     u"abc abc",
     u"abc",
     {{true, true, 4, 2}, {true, true, kMessage, 2, kFinished}}},
    {"UpwardsInAbab", u"abab", u"ab", {{true, true, 2, 1}, {true, true, kMessage, 1, kFinished}}},
    {"UpwardsIgnoringCase", u"x ABC", u"abc", {{true, false, 2, -2}}},
    {"UpwardsMatchingCase", u"x ABC", u"abc", {{true, true, kMessage, 5, kNotFound}}},
    {"UpwardsOnAnEmptyText", u"", u"a", {{true, false, kMessage, 0, kNotFound}}},
    // -1 is left by an upward match at the top; the surface searches from the start.
    {"DownwardsFromMinusOne",
     u"ab-x",
     u"ab",
     {{true, true, 0, -1}, {false, true, 0, 2}, {true, true, 0, -1}}},
};

TEST_P(FindTest, Sequences) {
  for (const Sequence& sequence : kSequences) {
    SCOPED_TRACE(sequence.name);
    widgets.surface().setSelStart(0);
    widgets.surface().setSelLength(widgets.surface().textLength());
    load(sequence.text);
    position() = 0;
    for (size_t i = 0; i < sequence.calls.size(); ++i) {
      SCOPED_TRACE("call " + std::to_string(i + 1));
      const Call& call = sequence.calls[i];
      const int32_t selStart = widgets.surface().selStart();
      EXPECT_EQ(find(sequence.what, call.matchCase, call.up), call.message);
      EXPECT_EQ(position(), call.positionAfter);
      EXPECT_EQ(control.m_FindText, sequence.what);
      if (call.start == kMessage) {
        EXPECT_EQ(widgets.surface().selStart(), selStart) << "selection left alone";
      } else {
        EXPECT_EQ(widgets.surface().selStart(), call.start);
        EXPECT_EQ(widgets.surface().selLength(), static_cast<int32_t>(Text(sequence.what).size()));
        EXPECT_FALSE(widgets.surface().hideSelection());
        EXPECT_TRUE(control.bFind);
      }
    }
  }
}

TEST_P(FindTest, AnEmptySearchTextFindsNothingInEitherDirection) {
  load(u"abc");
  for (const bool up : {false, true}) {
    position() = 1;
    EXPECT_EQ(find(u"", false, up), kNotFound);
    EXPECT_EQ(position(), 1);
  }
  find(u"b", false, false);
  ASSERT_TRUE(control.bFind);
  EXPECT_EQ(find(u"", true, true), kFinished);
  EXPECT_EQ(widgets.surface().selStart(), 1) << "the last match stays selected";
}

TEST_P(FindTest, ASearchAfterAClickContinuesFromTheClick) {
  load(u"abc abc abc");
  EXPECT_EQ(find(u"abc", false, false), u"");
  EXPECT_EQ(widgets.surface().selStart(), 0);
  const PixelPoint at = widgets.surface().pixelOf(5);
  widgets.click(at.x, at.y);
  ASSERT_EQ(position(), 5);
  EXPECT_EQ(find(u"abc", false, false), u"");
  EXPECT_EQ(widgets.surface().selStart(), 8);
  widgets.select(1, 3);  // the release stores the selection start
  ASSERT_EQ(position(), 1);
  EXPECT_EQ(find(u"abc", false, false), u"");
  EXPECT_EQ(widgets.surface().selStart(), 4);
}

TEST_P(FindTest, ALoadClearsBFindSoTheNextMissIsNotFound) {
  load(u"abc");
  find(u"abc", false, false);
  EXPECT_EQ(find(u"abc", false, false), kFinished);
  widgets.surface().setSelStart(0);
  widgets.surface().setSelLength(3);
  load(u"abc");
  EXPECT_FALSE(control.bFind);
  EXPECT_EQ(find(u"abc", false, false), kNotFound) << "the position is still 3";
}

INSTANTIATE_TEST_SUITE_P(FindSEAndFindSE_New, FindTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "FindSE_New" : "FindSE"; });

}  // namespace
}  // namespace tavi
