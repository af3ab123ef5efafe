// Time of one Undo and one Redo of a one-character edit in the middle of a 100,000-character
// script: each compares two whole snapshots and edits the surface in one place.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "history/undo_redo.h"
#include "shell/control.h"

namespace tavi {
namespace {

constexpr size_t kScriptLength = 100000;

// Handlers of a call-routing script repeated to kScriptLength characters, CR LF line breaks.
Text makeScript() {
  static const std::array<const char*, 10> kLines = {
      "SECTION Business_Hours",
      "    IF (DAY OF WEEK = Saturday) OR (DAY OF WEEK = Sunday) THEN",
      "        EXECUTE After_Hours",
      "    END IF",
      "    GIVE RINGBACK",
      "    QUEUE TO SKILLSET Support_Skillset WITH PRIORITY 3",
      "    WAIT 20",
      "    IF IDLE AGENT COUNT(Support_Skillset) = 0 THEN",
      "        GIVE MUSIC Hold_Music",
      "    END IF"};
  Text script;
  for (size_t n = 0; script.size() < kScriptLength; ++n) {
    const std::string line = kLines[n % kLines.size()];
    script.append(line.begin(), line.end());
    script += u"\r\n";
  }
  script.resize(kScriptLength);
  return script;
}

// A control holding the script with one typed character in its middle, ready to be undone.
struct EditedScript {
  EditedScript() : widgets(platform.createControl()), control(widgets.widgets()) {
    widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
    control.resize();
    control.m_MaxLen = 2 * kScriptLength;
    control.putText(Variant::fromString(makeScript()));
    widgets.surface().setSelStart(kScriptLength / 2);
    widgets.surface().replaceSelection(u"x");  // recorded as a user edit
  }
  HeadlessPlatform platform;
  HeadlessControl& widgets;
  TaviColorText control;
};

void BM_UndoOneCharacter(benchmark::State& state) {
  EditedScript script;
  for (auto _ : state) {
    Undo(script.control);
    state.PauseTiming();
    Redo(script.control);
    state.ResumeTiming();
  }
  if (script.widgets.surface().textLength() != kScriptLength + 1) state.SkipWithError("lost");
}
BENCHMARK(BM_UndoOneCharacter)->Unit(benchmark::kMicrosecond);

void BM_RedoOneCharacter(benchmark::State& state) {
  EditedScript script;
  Undo(script.control);
  for (auto _ : state) {
    Redo(script.control);
    state.PauseTiming();
    Undo(script.control);
    state.ResumeTiming();
  }
  if (script.widgets.surface().textLength() != kScriptLength) state.SkipWithError("lost");
}
BENCHMARK(BM_RedoOneCharacter)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
