// The browser platform's control where the scenarios cannot reach it: a key in the parts a
// page delivers, the view snapshot the page draws from, and the page's hooks.
#include "web/web_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/keys.h"

namespace tavi::web {
namespace {

struct SplitKeyCase {
  const char* name;
  Text text;
  int32_t selStart = 0, selLength = 0;
  int16_t keyCode = 0, shift = 0;
  bool typesText = false;  // the page's layout types a character with the key
  KeyResult result = KeyResult::kPrevent;
  Text textAfterKey;  // before any text input or clipboard event follows
};

class WebControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web.put("Load_flag", Variant::fromBool(false));
    web.put("m_bFirstTime", Variant::fromBool(false));
    web.focus(FocusPlace::kSurface);
  }
  void setText(const Text& text, int32_t selStart = 0, int32_t selLength = 0) {
    HeadlessEditSurface& surface = web.widgets().surface();
    surface.setSelStart(0);
    surface.setSelLength(surface.textLength());
    surface.replaceSelection(text);
    surface.setSelStart(selStart);
    surface.setSelLength(selLength);
  }
  Text text() { return web.widgets().surface().text(); }

  WebControl web;
};

TEST_F(WebControlTest, KeyDownSaysWhatThePageDoesNext) {
  const SplitKeyCase cases[] = {
      {.name = "a letter lets the browser's text input through",
       .text = u"ab",
       .selStart = 1,
       .keyCode = vk::kA,
       .typesText = true,
       .result = KeyResult::kType,
       .textAfterKey = u"ab"},
      {.name = "a key only another layout types (the ISO key beside Shift) lets it through",
       .text = u"ab",
       .keyCode = 0xE2,
       .typesText = true,
       .result = KeyResult::kType,
       .textAfterKey = u"ab"},
      {.name = "a caret key is done here",
       .text = u"ab",
       .selStart = 1,
       .keyCode = vk::kLeft,
       .result = KeyResult::kPrevent,
       .textAfterKey = u"ab"},
      {.name = "Backspace deletes here",
       .text = u"ab",
       .selStart = 1,
       .keyCode = vk::kBack,
       .result = KeyResult::kPrevent,
       .textAfterKey = u"b"},
      {.name = "Enter breaks the line here",
       .text = u"ab",
       .selStart = 1,
       .keyCode = vk::kReturn,
       .result = KeyResult::kPrevent,
       .textAfterKey = u"a\r\nb"},
      {.name = "a function key types nothing",
       .text = u"ab",
       .keyCode = vk::kF1,
       .result = KeyResult::kPrevent,
       .textAfterKey = u"ab"},
      {.name = "Ctrl+V waits for the paste event",
       .text = u"ab",
       .keyCode = vk::kV,
       .shift = kCtrlMask,
       .result = KeyResult::kClipboard,
       .textAfterKey = u"ab"},
      {.name = "Shift+Delete waits for the cut event",
       .text = u"ab",
       .selLength = 1,
       .keyCode = vk::kDelete,
       .shift = kShiftMask,
       .result = KeyResult::kClipboard,
       .textAfterKey = u"ab"},
  };
  for (const SplitKeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    setText(c.text, c.selStart, c.selLength);
    EXPECT_EQ(web.keyDown(c.keyCode, c.shift, c.typesText), c.result);
    EXPECT_EQ(text(), c.textAfterKey);
    web.keyUp(c.keyCode, c.shift);
  }
}

TEST_F(WebControlTest, TypedTextAndTheClipboardEventsFinishTheKey) {
  setText(u"ab", 1);
  ASSERT_EQ(web.keyDown(vk::kX, 0, true), KeyResult::kType);
  web.typeText(u"x");
  web.keyUp(vk::kX, 0);
  EXPECT_EQ(text(), u"axb");

  // The page's paste gives LF line breaks; the editor holds CR LF.
  ASSERT_EQ(web.keyDown(vk::kV, kCtrlMask, true), KeyResult::kClipboard);
  web.clipboardPaste(Text(u"1\n2"));
  web.keyUp(vk::kV, kCtrlMask);
  EXPECT_EQ(text(), u"ax1\r\n2b");

  // A copy gives the page LF again; a copy of nothing gives it nothing.
  setText(u"p\r\nq", 0, 4);
  EXPECT_EQ(web.clipboardCopy(), std::optional<Text>(u"p\nq"));
  setText(u"p\r\nq", 0, 0);
  EXPECT_EQ(web.clipboardCopy(), std::nullopt);
}

TEST_F(WebControlTest, ASwallowedKeyIsPrevented) {
  // A locked clipboard makes the control keep Ctrl+V from the surface.
  setText(u"ab");
  auto& clipboard = static_cast<HeadlessClipboard&>(*web.control().widgets().clipboard);
  clipboard.setContent(Text(u"x"));
  clipboard.setLocked(true);
  EXPECT_EQ(web.keyDown(vk::kV, kCtrlMask, true), KeyResult::kPrevent);
  web.keyUp(vk::kV, kCtrlMask);
  clipboard.setLocked(false);
  EXPECT_EQ(text(), u"ab");
}

TEST_F(WebControlTest, TheListTakesKeysWhileItHasTheFocus) {
  std::vector<int16_t> events;
  WebHooks hooks;
  hooks.onEvent = [&](int16_t id) -> std::optional<int16_t> {
    events.push_back(id);
    return std::nullopt;
  };
  web.setHooks(hooks);
  setText(u"ab", 2);
  HeadlessListBox& list = web.widgets().list();
  web.focus(FocusPlace::kList);

  // The keyword list: a letter picks the first entry it starts, a caret key steps; neither reaches
  // the text.
  EXPECT_EQ(web.keyDown(int16_t{0x51}, 0, true), KeyResult::kPrevent);
  web.keyUp(int16_t{0x51}, 0);
  const int32_t quit = list.listIndex();
  ASSERT_GT(quit, 0);
  EXPECT_EQ(list.item(quit)[0], u'Q');
  EXPECT_EQ(web.keyDown(vk::kUp, 0, false), KeyResult::kPrevent);
  web.keyUp(vk::kUp, 0);
  EXPECT_EQ(list.listIndex(), quit - 1);
  EXPECT_EQ(text(), u"ab");

  // Enter gives the focus back; its key up, begun in the list, is not the surface's.
  EXPECT_EQ(web.keyDown(vk::kReturn, 0, false), KeyResult::kPrevent);
  EXPECT_EQ(web.view().focus, FocusPlace::kSurface);
  web.keyUp(vk::kReturn, 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), event::kKeyUp), 0);
}

TEST_F(WebControlTest, TheViewHoldsOnlyTheVisibleLinesWithTheirColours) {
  Text text;
  for (int i = 0; i < 40; ++i)
    text += u"line " + Text(1, static_cast<char16_t>(u'A' + i % 26)) + u"\r\n";
  setText(text);
  web.resize(400, 10 * 16);
  web.scroll(5);
  // "line" of line 6 in red (0x0000FF as 0x00BBGGRR).
  HeadlessEditSurface& surface = web.widgets().surface();
  surface.setSelStart(surface.lineStart(6));
  surface.setSelLength(4);
  surface.setSelColor(0x0000FF);

  const ViewSnapshot view = web.view();
  EXPECT_EQ(view.lineCount, 41);
  EXPECT_EQ(view.firstVisibleLine, 5);
  ASSERT_EQ(view.lines.size(), static_cast<size_t>(view.visibleRows));
  EXPECT_EQ(view.lines.front().line, 5);
  EXPECT_EQ(view.lines.front().text, u"line F");
  const LineView& red = view.lines[1];
  ASSERT_EQ(red.runs.size(), 2u);
  EXPECT_EQ(cssColor(red.runs[0].color), "#ff0000");
  EXPECT_EQ(red.runs[0].length, 4);
  EXPECT_EQ(red.runs[1].length, 2);

  // The serial stays while nothing drawn changed and moves with the next change.
  EXPECT_EQ(web.view().serial, view.serial);
  web.scroll(6);
  EXPECT_GT(web.view().serial, view.serial);
}

TEST_F(WebControlTest, HooksAnswerMessageBoxesAndEvents) {
  std::vector<std::string> shown;
  WebHooks hooks;
  hooks.onEvent = [](int16_t id) -> std::optional<int16_t> { return static_cast<int16_t>(id + 1); };
  hooks.messageBox = [&](TextView text, int32_t style, TextView title) {
    shown.push_back(std::string(text.begin(), text.end()) + "|" + std::to_string(style) + "|" +
                    std::string(title.begin(), title.end()));
    return 6;
  };
  web.setHooks(hooks);
  web.call("MessageBox",
           {Variant::fromString(u"Sure?"), Variant::fromI4(4), Variant::fromString(u"Editor")});
  EXPECT_EQ(shown, std::vector<std::string>{"Sure?|4|Editor"});

  // onEvent's ByRef id is the hook's answer.
  int16_t id = event::kMouseUp;
  static_cast<EventSink&>(web).onEvent(id);
  EXPECT_EQ(id, event::kMouseUp + 1);

  // A dispatch failure comes back as the runtime error, with nothing changed.
  web.put("m_MaxLen", Variant::fromI4(50));
  const CallResult bad = web.put("m_MaxLen", Variant::fromString(u"abc"));
  EXPECT_EQ(bad.error, 13);
  EXPECT_EQ(web.get("m_MaxLen").value.i4(), 50);
}

TEST(WebMessageBoxesTest, ThePageAnswersElseTheBoxIsRecordedAndAnsweredOk) {
  HeadlessMessageBoxes recorded;
  WebMessageBoxes boxes(recorded);
  EXPECT_EQ(boxes.show(u"Saved", 0, u"Editor"), headless::kIdOk);
  EXPECT_EQ(recorded.pending().size(), 1u);

  boxes.setAnswerer([](TextView, int32_t, TextView) { return 7; });  // No
  EXPECT_EQ(boxes.show(u"Replace?", 4, u"Editor"), 7);
  EXPECT_EQ(recorded.pending().size(), 1u);
}

}  // namespace
}  // namespace tavi::web
