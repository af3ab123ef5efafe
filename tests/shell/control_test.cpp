#include "shell/control.h"

#include "support/control_fixture.h"

namespace tavi {
namespace {

using testing::ControlFixture;
using ControlTest = ControlFixture;

TEST_F(ControlTest, CreationLeavesOneSnapshotAndTheVocabularyLoaded) {
  EXPECT_EQ(control.m_colUndo.count(), 1);
  EXPECT_EQ(control.m_colUndo.item(1).TextLen, 0);
  EXPECT_EQ(control.m_colRedo.count(), 0);
  EXPECT_TRUE(control.m_bTrackChanges);
  EXPECT_EQ(widgets.surface().maxLength(), 100000) << "the creation's change handling";
  EXPECT_TRUE(widgets.surface().hideSelection());
  EXPECT_FALSE(widgets.menu().visible());
  EXPECT_EQ(widgets.list().listCount(), 116);
  EXPECT_TRUE(control.module().m_bHooked);
  EXPECT_TRUE(control.module().m_bLoadFlag);
  EXPECT_EQ(control.module().m_iHintIndex, -1);
  EXPECT_EQ(platform.screen().mousePointer(), kPointerDefault);
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(ControlTest, TextPutNormalisesLineBreaksAndPlacesTheCaret) {
  load(u"A\nB");
  EXPECT_EQ(text(), u"A\r\nB");
  EXPECT_EQ(widgets.surface().selStart(), 0) << "first loads leave the caret at the top";
  control.m_bFirstTime = false;
  load(u"\r\nC\r\r\n");
  EXPECT_EQ(text(), u"\r\nC\r\nA\r\nB") << "inserted at the caret, CRs dropped";
  EXPECT_EQ(widgets.surface().selStart(), 5);
}

TEST_F(ControlTest, TextPutKeepsEveryLineBreakOfTheInput) {
  control.m_bFirstTime = false;
  load(u"A\r\n\r\n");
  EXPECT_EQ(text(), u"A\r\n\r\n");
  EXPECT_EQ(widgets.surface().selStart(), 5);
}

TEST_F(ControlTest, TextPutReplacesTheSelectionAndRecordsOneEdit) {
  control.m_bFirstTime = false;
  load(u"Hello world");
  widgets.surface().setSelStart(6);
  widgets.surface().setSelLength(5);
  sink.events.clear();
  load(u"there");
  EXPECT_EQ(text(), u"Hello there");
  ASSERT_EQ(control.m_colUndo.count(), 3) << "start-up, first load, second load";
  EXPECT_EQ(control.m_colUndo.last().Text.str(), u"Hello there");
  EXPECT_EQ(sink.events, std::vector<std::string>{"change"});
  EXPECT_FALSE(control.bFind);
}

TEST_F(ControlTest, TextPutLongerThanTheMaximumPutsTheCaretBeforeTheLimit) {
  control.m_bFirstTime = false;
  control.m_MaxLen = 10;
  widgets.surface().setMaxLength(10);
  load(u"0123456789ABCDEF");
  EXPECT_EQ(text(), u"0123456789") << "the editor's maximum length is the only limit";
  EXPECT_EQ(widgets.surface().selStart(), 9);
  ASSERT_EQ(platform.messageBoxes().pending().size(), 1u) << "the text reached the maximum";
}

TEST_F(ControlTest, LoadFlagDecidesWhetherLoadingTakesTheFocus) {
  widgets.focus(FocusPlace::kAway);
  load(u"x");
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kAway);
  control.putLoad_flag(Variant::fromString(u"False"));
  load(u"y");
  EXPECT_EQ(widgets.focusPlace(), FocusPlace::kSurface);
}

TEST_F(ControlTest, LengthCountsCharactersThatAreNotLineBreaks) {
  load(u"AB\r\nC\n\r");
  EXPECT_EQ(control.getLength(), Variant::fromI4(3));
  control.putLength(Variant::fromString(u"2.5"));
  EXPECT_EQ(control.m_MaxLen, 2) << "banker's rounding";
  EXPECT_THROW(control.putLength(Variant::fromR8(3e9)), RuntimeError);
  EXPECT_EQ(control.m_MaxLen, 2);
}

TEST_F(ControlTest, ValueAndTextGetReturnWholeTextAndSelection) {
  load(u"IF x\nTHEN");
  EXPECT_EQ(control.getText(), Variant::fromString(u"")) << "nothing selected";
  EXPECT_EQ(control.getValue(), Variant::fromString(u"IF x\r\nTHEN"));
  widgets.surface().setSelStart(3);
  widgets.surface().setSelLength(3);
  EXPECT_EQ(control.getText(), Variant::fromString(u"x\r\n"));
}

TEST_F(ControlTest, ChangeHandlerSizesDeletionsAndWarnsAtTheMaximum) {
  control.m_bFirstTime = false;
  load(u"abcdef");
  sink.events.clear();
  widgets.surface().setSelStart(1);
  widgets.surface().setSelLength(3);
  widgets.surface().replaceSelection(u"Z");  // shorter by two: no onChange
  EXPECT_TRUE(sink.events.empty());
  widgets.surface().replaceSelection(u"Y");
  EXPECT_EQ(sink.events, std::vector<std::string>{"change"});

  control.m_MaxLen = 5;
  control.m_strMaximumSize = u"Max %1 chars.%2Max is %1.";
  control.m_strScriptEditor = u"Editor";
  widgets.surface().replaceSelection(u"Q");
  const auto boxes = platform.messageBoxes().drain();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Max 5 chars.\rMax is 5.");
  EXPECT_EQ(boxes[0].title, u"Editor");
  EXPECT_EQ(boxes[0].style, 48);
  EXPECT_TRUE(control.m_bAtMaxLen);
}

TEST_F(ControlTest, ProgrammaticChangesAreNotJournalled) {
  load(u"abc");
  const int32_t before = control.m_colUndo.count();
  control.m_bTrackChanges = false;
  widgets.surface().replaceSelection(u"x");
  EXPECT_EQ(control.m_colUndo.count(), before);
  EXPECT_TRUE(control.module().m_bTextChanged);
}

TEST_F(ControlTest, UtilitiesActOnTheEditor) {
  control.SetHourGlassCursor();
  EXPECT_EQ(widgets.surface().mousePointer(), kPointerHourglass);
  EXPECT_EQ(platform.screen().mousePointer(), kPointerDefault) << "the editor only";
  control.SetArrowCursor();
  EXPECT_EQ(widgets.surface().mousePointer(), kPointerDefault);
  control.DisableControl();
  EXPECT_TRUE(widgets.surface().locked());
  EXPECT_TRUE(control.m_bLock);
  load(u"abc");
  control.CheckHighLightText();
  EXPECT_FALSE(control.m_bSelect);
  widgets.surface().setSelLength(1);
  control.CheckHighLightText();
  EXPECT_TRUE(control.m_bSelect);
  control.MessageBox(u"Saved", 64, u"Host");
  ASSERT_EQ(platform.messageBoxes().pending().size(), 1u);
  EXPECT_EQ(platform.messageBoxes().pending()[0].text, u"Saved");
}

TEST(ControlHook, OnlyTheFirstControlOfAThreadHooksItsEditor) {
  HeadlessPlatform platform;
  HeadlessControl& first = platform.createControl();
  HeadlessControl& second = platform.createControl();
  ModuleState& module = ModuleState::forThisThread();
  {
    TaviColorText a(first.widgets());
    TaviColorText b(second.widgets());
    EXPECT_TRUE(module.m_bHooked);
    EXPECT_EQ(module.m_hWndEditor, second.surface().windowHandle());
    module.m_bGutterDirty = false;
    first.scroll(0);
    EXPECT_TRUE(module.m_bGutterDirty) << "the first editor carries the hook";
    module.m_bGutterDirty = false;
    second.scroll(0);
    EXPECT_FALSE(module.m_bGutterDirty);
    a.terminate();
    EXPECT_FALSE(module.m_bHooked);
  }
  module.m_bGutterDirty = false;
}

}  // namespace
}  // namespace tavi
