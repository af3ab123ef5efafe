// UndoByWords: which keystrokes make one undo step, and Undo and Redo over such steps.
#include <string>
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

class UndoByWordsTest : public testing::EditingFixture {
 protected:
  UndoByWordsTest() { control.UndoByWords = true; }

  void from(std::u16string_view text, int32_t caret = -1, int32_t length = 0) {
    given(text, caret, length);
    recorded_ = control.m_colUndo.count();
  }
  // The texts of the undo snapshots taken since `from`.
  std::vector<Text> steps() {
    std::vector<Text> texts;
    for (int32_t i = recorded_ + 1; i <= control.m_colUndo.count(); ++i)
      texts.push_back(control.m_colUndo.item(i).Text.str());
    return texts;
  }
  // Plays keys: a character is typed, '<' is Backspace, '>' Delete, '^' Left then Right.
  void play(std::u16string_view keys) {
    for (char16_t c : keys) {
      if (c == u'<') {
        press(vk::kBack);
      } else if (c == u'>') {
        press(vk::kDelete);
      } else if (c == u'^') {
        press(vk::kLeft);
        press(vk::kRight);
      } else {
        widgets.type(std::u16string_view(&c, 1));
      }
    }
  }

 private:
  int32_t recorded_ = 0;
};

TEST_F(UndoByWordsTest, AWordWithTheBlanksBehindItOrARunOfDeletionsIsOneStep) {
  struct Row {
    const char16_t* text;  // loaded, caret at `caret`
    int32_t caret;
    const char16_t* keys;
    std::vector<Text> steps;
  };
  const Row rows[] = {
      {.text = u"", .caret = 0, .keys = u"IF  x", .steps = {u"IF  ", u"IF  x"}},
      {.text = u"", .caret = 0, .keys = u"  IF", .steps = {u"  ", u"  IF"}},
      {.text = u"WAIT 20", .caret = 7, .keys = u"<<<", .steps = {u"WAIT"}},
      {.text = u"WAIT 20", .caret = 0, .keys = u">>>>>", .steps = {u"20"}},
      {.text = u"WAIT 20", .caret = 4, .keys = u"<>", .steps = {u"WAI 20", u"WAI20"}},
      {.text = u"WAIT 20", .caret = 7, .keys = u"<x", .steps = {u"WAIT 2", u"WAIT 2x"}},
      {.text = u"AB", .caret = 2, .keys = u"C^D", .steps = {u"ABC", u"ABCD"}},
      {.text = u"AB", .caret = 2, .keys = u"C\nD", .steps = {u"ABC", u"ABC\r\n", u"ABC\r\nD"}},
  };
  for (const Row& row : rows) {
    from(row.text, row.caret);
    play(row.keys);
    EXPECT_EQ(steps(), row.steps) << ::testing::PrintToString(Text(row.keys));
  }
  // Typing over a selection is a step of its own, which the following letters continue.
  from(u"IF x THEN", 3, 1);
  play(u"ab");
  EXPECT_EQ(steps(), std::vector<Text>{u"IF ab THEN"});
  // Off, every keystroke is a step.
  control.UndoByWords = false;
  from(u"");
  play(u"IF");
  EXPECT_EQ(steps(), (std::vector<Text>{u"I", u"IF"}));
}

// The host hears of every keystroke as before: onChange for each typed character and each
// single deletion.
TEST_F(UndoByWordsTest, OnChangeStillComesWithEveryKeystroke) {
  from(u"");
  play(u"ab<<");
  const auto changes = std::count(sink.events.begin(), sink.events.end(), "change");
  EXPECT_EQ(changes, 4);
}

// Undo takes back a step at a time and Redo restores it; an Undo or a click, even at the
// caret, starts a new step.
TEST_F(UndoByWordsTest, UndoAndRedoStepOverWholeWords) {
  from(u"A\r\n");
  play(u"IF x THEN");
  control.Undo();
  EXPECT_EQ(text(), u"A\r\nIF x ");
  control.Undo();
  control.Undo();
  EXPECT_EQ(text(), u"A\r\n");
  control.Redo();
  control.Redo();
  EXPECT_EQ(text(), u"A\r\nIF x ");
  play(u"QU");
  widgets.click(56, 16);
  play(u"Z");
  EXPECT_EQ(steps(),
            (std::vector<Text>{u"A\r\nIF ", u"A\r\nIF x ", u"A\r\nIF x QU", u"A\r\nIF x QUZ"}));
  control.Undo();
  control.Undo();
  EXPECT_EQ(text(), u"A\r\nIF x ");
}

}  // namespace
}  // namespace tavi
