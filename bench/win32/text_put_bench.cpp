// How long a Text put takes in the real Windows editor (RichEdit): one long line of 100,000
// and of 400,000 characters, and for comparison a text of the same size in short lines.
// Prints the figures; it measures, it does not judge (tools/test-win32 runs it).
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "shell/control.h"
#include "shell/text.h"
#include "win32/widgets/control_window.h"

namespace {

using tavi::Text;

// `size` characters of script in one line.
Text oneLine(size_t size) {
  const Text word = u"QUEUE TO SKILLSET ";
  Text text;
  text.reserve(size);
  while (text.size() < size) text += word;
  text.resize(size);
  return text;
}

// About `size` characters of script in lines of 40.
Text manyLines(size_t size) {
  const Text line = u"QUEUE TO SKILLSET General WITH PRIORITY 1\r\n";
  Text text;
  text.reserve(size + line.size());
  while (text.size() < size) text += line;
  return text;
}

struct Put {
  double seconds;
  size_t length;  // of the text after the put
};

// A Text put of `text` into a fresh control.
Put put(const Text& text) {
  tavi::win32::ControlWindow window;
  tavi::TaviColorText control(window.widgets());
  window.attach(&control);
  control.resize();
  // Above the default maximum size of 100,000: the texts here all fit.
  control.m_MaxLen = 1000000;
  window.widgets().editor->setMaxLength(control.m_MaxLen);
  const auto start = std::chrono::steady_clock::now();
  control.putText(tavi::Variant::fromString(text));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const size_t length = window.widgets().editor->text().size();
  control.terminate();
  window.attach(nullptr);
  return {took.count(), length};
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  struct Case {
    const char* name;
    Text text;
  };
  const Case cases[] = {
      {.name = "one line, 100,000 characters", .text = oneLine(100000)},
      {.name = "one line, 400,000 characters", .text = oneLine(400000)},
      {.name = "lines of 40, 100,000 characters", .text = manyLines(100000)},
      {.name = "lines of 40, 400,000 characters", .text = manyLines(400000)},
  };
  for (const Case& c : cases) {
    const Put p = put(c.text);
    std::printf("Text put, %s: %.3f s (%zu characters in the editor)\n", c.name, p.seconds,
                p.length);
  }
  OleUninitialize();
  return 0;
}
