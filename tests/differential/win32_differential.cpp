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

}  // namespace

int main(int argc, char** argv) {
  using namespace tavi::script;
  const Differential win32{.program = "tavi-win32-differential",
                           .platform = "win32",
                           .makePlatform = makeWin32Platform,
                           .mix = {},
                           .metrics = {{"where a mouse press or drag lands in a text with an "
                                        "emoji: RichEdit measures its glyph by its own font",
                                        pressInATextWithAnEmoji}},
                           .sessions = 50,
                           .threadPerSession = true};
  return runDifferential(argc, argv, win32);
}
