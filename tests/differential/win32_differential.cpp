// tavi-win32-differential [--seed N] [--sessions N] [--commands N] [--quiet] [--strict]: the
// seeded sessions of sessions.h on the headless platform and on Windows (the registered
// TaviColorTxt.dll, as tavi-script.exe --platform win32 drives it), 50 by default, compared
// with the platforms' metrics masked. tools/test-win32 runs it while the control is
// registered.
#include <algorithm>

#include "differential/sessions.h"
#include "shell/text.h"
#include "tavi-script/win32_platform.h"

namespace {

// A mouse press or drag in a text holding a character outside the BMP (an emoji), whose
// glyph RichEdit measures by its own font: the pixel of an offset after it may land
// elsewhere than on the headless grid.
bool pressInATextWithAnEmoji(const tavi::script::Difference& d) {
  if (d.command.rfind("[\"click\"", 0) != 0 && d.command.rfind("[\"select\"", 0) != 0) return false;
  if (!d.state.is_object() || !d.state.contains("text")) return false;
  const tavi::Text text = tavi::fromUtf8(d.state["text"].get<std::string>());
  return std::any_of(text.begin(), text.end(), tavi::isHighSurrogate);
}

// A mouse press or drag at the end of a text that ends with a line break: RichEdit gives the
// empty last line no pixel of its own, so the press lands at the end of the line before.
bool pressAfterAFinalBreak(const tavi::script::Difference& d) {
  if (d.command.rfind("[\"click\"", 0) != 0 && d.command.rfind("[\"select\"", 0) != 0) return false;
  if (!d.state.is_object() || !d.state.contains("text")) return false;
  const std::string text = d.state["text"].get<std::string>();
  return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0 &&
         d.state["selStart"].get<size_t>() == tavi::fromUtf8(text).size();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavi::script;
  const Differential win32{.program = "tavi-win32-differential",
                           .platform = "win32",
                           .makePlatform = makeWin32Platform,
                           // An input method's commit reaches the Windows editor as typed
                           // keys (WM_KEYDOWN, WM_CHAR, WM_KEYUP), with the KeyDown and KeyUp
                           // events and the carets they record, where the others commit it
                           // without key events: left out until the platform commits as an
                           // input method does.
                           .mix = {.compose = false,
                                   // Ctrl+Enter reaches the editor as the character LF,
                                   // which it does not take for Enter: nothing is inserted.
                                   .ctrlEnter = false,
                                   // After "(" opens the parameter hint, the Shift that
                                   // typed it comes up without a KeyUp event on Windows
                                   // (cause not yet found).
                                   .openParenthesis = false},
                           .metrics = {{"Page Up or Page Down in the keyword list: the list "
                                        "moves by its own rows in view",
                                        keywordListPage},
                                       {"where a mouse press or drag lands in a text with an "
                                        "emoji: RichEdit measures its glyph by its own font",
                                        pressInATextWithAnEmoji},
                                       {"where a mouse press at the end of a text ending with a "
                                        "line break lands: RichEdit's empty last line has no "
                                        "pixel of its own",
                                        pressAfterAFinalBreak}},
                           .sessions = 50,
                           .threadPerSession = true};
  return runDifferential(argc, argv, win32);
}
