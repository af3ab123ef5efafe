// Time of one Undo and one Redo of a one-character edit in the middle of a 100,000-character
// script: each compares two whole snapshots and edits the surface in one place.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_support.h"
#include "history/undo_redo.h"

namespace tavi {
namespace {

constexpr size_t kScriptLength = 100000;

// A control holding the script with one typed character in its middle, ready to be undone.
struct EditedScript : bench::SizedControl {
  EditedScript() {
    setMaxLength(static_cast<int32_t>(2 * kScriptLength));
    load(bench::routingScript(kScriptLength));
    widgets.surface().setSelStart(kScriptLength / 2);
    widgets.surface().replaceSelection(u"x");  // recorded as a user edit
  }
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
