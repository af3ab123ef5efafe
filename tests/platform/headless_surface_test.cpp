// The headless editing surface as the control's code sees it: selection, replacement,
// formats, find, line queries with the viewport, and the edit messages.
#include <gtest/gtest.h>

#include "headless/platform.h"
#include "platform/recording_listener.h"
#include "shell/runtime_error.h"

namespace tavi {
namespace {

class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() { s.setListener(&listener); }

  void load(TextView text) {
    s.setSelStart(0);
    s.setSelLength(s.textLength());
    s.replaceSelection(text);
    listener.events.clear();
  }
  void selectRange(int32_t start, int32_t length) {
    s.setSelStart(start);
    s.setSelLength(length);
  }

  HeadlessPlatform platform;
  HeadlessControl& control = platform.createControl();
  HeadlessEditSurface& s = control.surface();
  testing::RecordingListener listener;
};

TEST_F(SurfaceTest, SelectionIsClampedToTheText) {
  load(u"Hello");
  selectRange(3, 10);
  EXPECT_EQ(s.selLength(), 2);
  EXPECT_EQ(s.selText(), u"lo");
  s.setSelStart(1);
  EXPECT_EQ(s.selLength(), 0) << "setting the start collapses the selection";
  s.setSelStart(-4);
  EXPECT_EQ(s.selStart(), 0);
  s.setSelStart(99);
  EXPECT_EQ(s.selStart(), 5);
  s.setSelStart(2);
  s.setSelLength(-1);
  EXPECT_EQ(s.selLength(), 0);
}

TEST_F(SurfaceTest, ReplaceSelectionLeavesPlainTextAndTheCaretBehindIt) {
  load(u"Hello");
  selectRange(0, 5);
  s.setSelColor(kColorKeyword);
  s.setSelBold(true);
  selectRange(2, 2);
  s.replaceSelection(u"LLL");
  EXPECT_EQ(s.text(), u"HeLLLo");
  EXPECT_EQ(s.selStart(), 5);
  EXPECT_EQ(s.selLength(), 0);
  EXPECT_EQ(listener.events, std::vector<std::string>{"Change"});
  const std::vector<FormatRun> expected = {
      {0, 2, kColorKeyword, true}, {2, 3, kColorPlain, false}, {5, 1, kColorKeyword, true}};
  EXPECT_EQ(s.formats(), expected);
}

TEST_F(SurfaceTest, ReplacingNothingByNothingRaisesNoChange) {
  load(u"abc");
  s.setSelStart(1);
  s.replaceSelection(u"");
  EXPECT_TRUE(listener.events.empty());
  selectRange(1, 1);
  s.replaceSelection(u"");
  EXPECT_EQ(s.text(), u"ac");
  EXPECT_EQ(listener.count("Change"), 1);
}

TEST_F(SurfaceTest, ReplaceSelectionInsertsOnlyWhatFitsTheMaximumLength) {
  load(u"abc");
  s.setMaxLength(5);
  s.setSelStart(3);
  s.replaceSelection(u"defg");
  EXPECT_EQ(s.text(), u"abcde");
  selectRange(1, 2);  // the selection's room counts as free
  s.replaceSelection(u"xyz");
  EXPECT_EQ(s.text(), u"axyde");
}

TEST_F(SurfaceTest, TheCutAtTheMaximumLengthNeverSplitsAPair) {
  load(u"ab");
  s.setMaxLength(3);
  s.setSelStart(2);
  s.replaceSelection(u"\r\nc");
  EXPECT_EQ(s.text(), u"ab");
  s.replaceSelection(u"\U0001F600");
  EXPECT_EQ(s.text(), u"ab");
  s.setMaxLength(4);
  s.replaceSelection(u"\r\nc");
  EXPECT_EQ(s.text(), u"ab\r\n");
  EXPECT_EQ(s.lineCount(), 2);
}

TEST_F(SurfaceTest, OverlongTextLosesTheSelectionButGainsNothing) {
  load(u"abcdef");
  s.setMaxLength(3);
  selectRange(0, 1);
  s.replaceSelection(u"XY");
  EXPECT_EQ(s.text(), u"bcdef");
}

TEST_F(SurfaceTest, FormatsCoverTheTextInMergedRuns) {
  EXPECT_TRUE(s.formats().empty());
  load(u"IF x THEN");
  selectRange(0, 2);
  s.setSelColor(kColorKeyword);
  selectRange(5, 4);
  s.setSelColor(kColorKeyword);
  s.setSelBold(true);
  selectRange(1, 1);
  s.setSelColor(kColorKeyword);  // no change: runs stay merged
  const std::vector<FormatRun> expected = {
      {0, 2, kColorKeyword, false}, {2, 3, kColorPlain, false}, {5, 4, kColorKeyword, true}};
  EXPECT_EQ(s.formats(), expected);
}

TEST_F(SurfaceTest, FindMatchesCaseAndWholeWordsWithinTheBounds) {
  load(u"IF X THEN\r\nENDIF if");
  EXPECT_EQ(s.find(u"then", 0, -1, 0), 5);
  EXPECT_EQ(s.selStart(), 5);
  EXPECT_EQ(s.selLength(), 4);
  EXPECT_EQ(s.find(u"then", 0, -1, kFindMatchCase), -1);
  EXPECT_EQ(s.selStart(), 5) << "a failed search keeps the selection";
  EXPECT_EQ(s.find(u"IF", 1, -1, kFindMatchCase), 14) << "ENDIF contains it";
  EXPECT_EQ(s.find(u"IF", 1, -1, kFindWholeWord | kFindMatchCase), -1);
  EXPECT_EQ(s.find(u"IF", 1, -1, kFindWholeWord), 17);
  EXPECT_EQ(s.find(u"THEN", 0, 8, 0), -1) << "the match must end within the range";
  EXPECT_EQ(s.find(u"THEN", -5, 9, 0), 5);
  EXPECT_EQ(s.find(u"X", 3, 1, 0), -1) << "an end before the start is the start";
  EXPECT_EQ(s.find(u"", 0, -1, 0), -1);
  EXPECT_EQ(s.find(u"if", 99, -1, 0), -1);
}

TEST_F(SurfaceTest, LinesAreSeparatedByCrLf) {
  EXPECT_EQ(s.lineCount(), 1);
  load(u"ab\r\ncd\r\n");
  EXPECT_EQ(s.lineCount(), 3);
  EXPECT_EQ(s.lineFromChar(2), 0) << "CR";
  EXPECT_EQ(s.lineFromChar(3), 0) << "LF";
  EXPECT_EQ(s.lineFromChar(4), 1);
  EXPECT_EQ(s.lineFromChar(8), 2);
  EXPECT_EQ(s.lineFromChar(500), 2);
  s.setSelStart(5);
  EXPECT_EQ(s.lineFromChar(-1), 1) << "negative: the line of the selection start";
  EXPECT_EQ(s.lineEnd(0), 2);
}

TEST_F(SurfaceTest, TheViewportFollowsTheCaretByTheLeastScroll) {
  s.setHeight(960);  // 64 pixels: 4 rows
  load(u"L0\r\nL1\r\nL2\r\nL3\r\nL4\r\nL5\r\nL6\r\nL7\r\nL8\r\nL9");
  ASSERT_EQ(s.visibleRows(), 4);
  EXPECT_EQ(s.firstVisibleLine(), 6) << "the caret ended on the last line";
  s.setSelStart(s.lineStart(1) + 1);
  EXPECT_EQ(s.firstVisibleLine(), 1);
  EXPECT_EQ(s.caretPosition().x, 8);
  EXPECT_EQ(s.caretPosition().y, 0);
  s.setSelStart(s.lineStart(6) + 2);
  EXPECT_EQ(s.firstVisibleLine(), 3);
  EXPECT_EQ(s.caretPosition().x, 16);
  EXPECT_EQ(s.caretPosition().y, 48);
  s.scrollTo(100);
  EXPECT_EQ(s.firstVisibleLine(), 9);
  EXPECT_EQ(s.caretPosition().y, -48) << "scrolling leaves the caret where it is";
  selectRange(2, s.textLength());
  s.replaceSelection(u"");
  EXPECT_EQ(s.firstVisibleLine(), 0) << "no line is left below the first one";
  s.setHeight(100);
  EXPECT_EQ(s.visibleRows(), 1) << "never fewer than one row";
}

TEST_F(SurfaceTest, CutAndCopyGoThroughTheClipboard) {
  HeadlessClipboard& clipboard = platform.clipboard();
  load(u"one two");
  clipboard.setContent(u"old");
  s.setSelStart(3);
  s.sendEditMessage(kWmCopy);
  EXPECT_EQ(clipboard.content(), Text(u"old")) << "copying nothing leaves the clipboard";
  selectRange(4, 3);
  s.sendEditMessage(kWmCopy);
  EXPECT_EQ(clipboard.content(), Text(u"two"));
  selectRange(0, 4);
  s.sendEditMessage(kWmCut);
  EXPECT_EQ(clipboard.content(), Text(u"one "));
  EXPECT_EQ(s.text(), u"two");
  EXPECT_EQ(listener.count("Change"), 1);

  s.setLocked(true);
  selectRange(0, 1);
  s.sendEditMessage(kWmCut);
  EXPECT_EQ(s.text(), u"two");
  EXPECT_EQ(clipboard.content(), Text(u"one "));

  s.setLocked(false);
  clipboard.setLocked(true);
  try {
    s.sendEditMessage(kWmCut);
    FAIL() << "a locked clipboard must fail";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), err::kCantOpenClipboard);
  }
  EXPECT_EQ(s.text(), u"two");
}

TEST_F(SurfaceTest, NegativeSizesAreInvalidAndLeaveTheSizeAsItWas) {
  s.setWidth(3000);
  EXPECT_THROW(s.setWidth(-15), RuntimeError);
  EXPECT_EQ(s.width(), 3000);
  EXPECT_THROW(control.gutter().setHeight(-1), RuntimeError);
}

}  // namespace
}  // namespace tavi
