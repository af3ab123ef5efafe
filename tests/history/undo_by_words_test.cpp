// UndoByWords: which keystrokes make one undo step (the scenario extensions_undo_words shows
// Undo and Redo over such steps).
#include <string>
#include <vector>

#include "editing/editing_fixture.h"

namespace tavi {
namespace {

class UndoByWordsTest : public testing::EditingFixture {
 protected:
  UndoByWordsTest() { control.UndoByWords = true; }

  void from(std::u16string_view text, int32_t caret) {
    given(text, caret);
    recorded_ = control.m_colUndo.count();
  }
  // The texts of the undo snapshots taken since `from`.
  std::vector<Text> steps() {
    std::vector<Text> texts;
    for (int32_t i = recorded_ + 1; i <= control.m_colUndo.count(); ++i)
      texts.push_back(control.m_colUndo.item(i).Text.str());
    return texts;
  }
  // Plays keys: a character is typed, '<' is Backspace, '>' Delete, '^' Left then Right,
  // '@' a click at the caret.
  void play(std::u16string_view keys) {
    for (char16_t c : keys) {
      if (c == u'<') {
        press(vk::kBack);
      } else if (c == u'>') {
        press(vk::kDelete);
      } else if (c == u'^') {
        press(vk::kLeft);
        press(vk::kRight);
      } else if (c == u'@') {
        const PixelPoint at = surface().caretPosition();
        widgets.click(at.x, at.y);
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
      {.text = u"AB", .caret = 2, .keys = u"C@D", .steps = {u"ABC", u"ABCD"}},
      {.text = u"AB", .caret = 2, .keys = u"C\nD", .steps = {u"ABC", u"ABC\r\n", u"ABC\r\nD"}},
  };
  for (const Row& row : rows) {
    from(row.text, row.caret);
    play(row.keys);
    EXPECT_EQ(steps(), row.steps) << ::testing::PrintToString(Text(row.keys));
  }
  // A change that the journal did not see (ReplaceAll) ends the word.
  from(u"x ", 2);
  play(u"ab");
  control.ReplaceAll(u"x", u"y", true);
  surface().setSelStart(4);  // back where the word stopped
  play(u"c");
  EXPECT_EQ(steps(), (std::vector<Text>{u"x ab", u"y abc"}));
}

}  // namespace
}  // namespace tavi
