// What a view over the surface model asks of it beyond the control's interface: the format
// runs of one line, a key typing a surrogate pair, input-method text and the word a double
// click selects.
#include <gtest/gtest.h>

#include "headless/clipboard.h"
#include "shell/keys.h"
#include "surface/insertion.h"
#include "surface/surface_model.h"

namespace tavi {
namespace {

class CountingView : public SurfaceModel::View {
 public:
  int changes = 0;
  void textChanged() override { ++changes; }
  void selectionMoved(int32_t) override {}
  int32_t rowsPerPage() const override { return 1; }
  void scrollRows(int32_t) override {}
  void tabOut() override {}
};

class SurfaceModelInputTest : public ::testing::Test {
 protected:
  void load(TextView text) {
    model.setSelStart(0);
    model.setSelLength(model.textLength());
    model.replaceSelection(text);
    view.changes = 0;
  }
  CountingView view;
  SurfaceModel model{view};
  HeadlessClipboard clipboard;
};

TEST_F(SurfaceModelInputTest, FormatsOfARangeAreClampedAndStartWhereTheRangeDoes) {
  load(u"IF x\r\nTHEN");
  const StyleRun runs[] = {{.start = 0, .length = 2, .color = kColorKeyword, .bold = true},
                           {.start = 6, .length = 4, .color = kColorKeyword, .bold = true}};
  model.applyStyleRuns(runs);
  EXPECT_EQ(model.formats(1, 4),
            (std::vector<FormatRun>{{.start = 1, .length = 1, .color = kColorKeyword, .bold = true},
                                    {.start = 2, .length = 3}}));
  EXPECT_EQ(
      model.formats(8, 100),
      (std::vector<FormatRun>{{.start = 8, .length = 2, .color = kColorKeyword, .bold = true}}));
  EXPECT_TRUE(model.formats(-5, 5).empty());
}

TEST_F(SurfaceModelInputTest, AKeyTypingASurrogatePairInsertsItWholeOrNotAtAll) {
  const char16_t emoji[] = u"\U0001F600";
  model.keyAction(vk::kPacket, 0, TextView(emoji, 2), clipboard);
  EXPECT_EQ(model.text(), emoji);
  EXPECT_EQ(view.changes, 1);
  model.setMaxLength(3);
  model.keyAction(vk::kPacket, 0, TextView(emoji, 2), clipboard);
  EXPECT_EQ(model.textLength(), 2) << "refused whole at the limit";
  model.keyAction(vk::kA, kCtrlMask, TextView(emoji, 2), clipboard);
  EXPECT_EQ(model.selLength(), 2) << "Ctrl types nothing";
}

TEST_F(SurfaceModelInputTest, InputMethodTextIsAPasteRefusedWhileLocked) {
  load(u"IF ");
  model.setSelStart(3);
  model.setMaxLength(7);
  model.pasteText(u"a\nbcd");
  EXPECT_EQ(model.text(), u"IF a\r\nb") << "breaks converted, then fitted";
  EXPECT_EQ(view.changes, 1);
  EXPECT_EQ(model.formats(), (std::vector<FormatRun>{{.start = 0, .length = 7}}));
  model.setLocked(true);
  model.pasteText(u"x");
  EXPECT_EQ(model.textLength(), 7);
  EXPECT_EQ(view.changes, 1);
}

TEST_F(SurfaceModelInputTest, ADoubleClickSelectsTheRunOfOneWordClass) {
  load(u"WAIT 20;;  x\r\nEND");
  struct Case {
    int32_t offset;
    int32_t selStart;
    int32_t selLength;
  };
  const Case cases[] = {
      {.offset = 2, .selStart = 0, .selLength = 4},    // a word
      {.offset = 7, .selStart = 7, .selLength = 2},    // punctuation
      {.offset = 9, .selStart = 9, .selLength = 2},    // blanks
      {.offset = 12, .selStart = 11, .selLength = 1},  // past the line's end: the unit before
      {.offset = 17, .selStart = 14, .selLength = 3},  // the text's end
  };
  for (const Case& c : cases) {
    model.selectWordAt(c.offset);
    EXPECT_EQ(model.selStart(), c.selStart) << c.offset;
    EXPECT_EQ(model.selLength(), c.selLength) << c.offset;
  }
  load(u"\r\n");
  model.selectWordAt(1);
  EXPECT_EQ(model.selLength(), 0) << "an empty line selects nothing";
}

// Fitting to the maximum length is checked through the headless surface (SurfaceTest).
TEST(InsertionTest, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(withCrLfBreaks(u"a\rb\nc\r\nd"), u"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(withCrLfBreaks(u"\n\r"), u"\r\n\r\n") << "LF CR is two breaks, not one";
  EXPECT_EQ(withCrLfBreaks(u"x\r"), u"x\r\n");
}

}  // namespace
}  // namespace tavi
