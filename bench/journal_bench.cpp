// Memory and time of recording typing into the undo journal of a 100,000-character script.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "history/journal.h"

namespace tavi {
namespace {

constexpr size_t kScriptLength = 100000;
constexpr int kEdits = 10000;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kBudgetMiB = 32.0;

// Records kEdits typed characters as snapshots: the caret jumps to a new place now and then
// and types a few characters there, as a user editing a script does.
void BM_JournalTypingSession(benchmark::State& state) {
  const Text script = bench::routingScript(kScriptLength);
  double journalMiB = 0;
  for (auto _ : state) {
    const size_t bytesBefore = SharedText::liveBytes();
    std::mt19937 rng(42);
    Text text = script;
    Journal undo;
    undo.add(makeSnapshot(0, text, undo));
    size_t caret = 0;
    for (int edit = 0; edit < kEdits; ++edit) {
      if (edit % 12 == 0) caret = rng() % (text.size() + 1);
      text.insert(caret++, 1, static_cast<char16_t>(u'A' + rng() % 26));
      undo.add(makeSnapshot(static_cast<int32_t>(caret), text, undo));
    }
    journalMiB = static_cast<double>(SharedText::liveBytes() - bytesBefore) / kMiB;
    benchmark::DoNotOptimize(undo.count());
  }
  state.counters["journal_MiB"] = journalMiB;
  static bool printed = false;  // the function runs more than once; say it once
  if (!std::exchange(printed, true)) {
    std::printf("journal of %d snapshots of a %zu-character script: %.2f MiB\n", kEdits + 1,
                kScriptLength, journalMiB);
  }
  if (journalMiB >= kBudgetMiB) state.SkipWithError("journal memory over 32 MiB");
}
BENCHMARK(BM_JournalTypingSession)->Unit(benchmark::kMillisecond);

// One recording: a snapshot of the 100,000-character text derived from the newest one, which
// differs from it by one typed character at a varying place.
void BM_JournalRecordOneEdit(benchmark::State& state) {
  const Text script = bench::routingScript(kScriptLength);
  std::vector<Text> typed;
  for (size_t at = 0; at < kScriptLength; at += kScriptLength / 16 + 7) {
    typed.push_back(script);
    typed.back().insert(at, 1, u'x');
  }
  Journal undo;
  undo.add(makeSnapshot(0, script, undo));
  size_t n = 0;
  for (auto _ : state) {
    const Text& text = n % 2 ? typed[(n / 2) % typed.size()] : script;
    undo.add(makeSnapshot(0, text, undo));
    if (undo.count() > 1000) undo.removeFirst();
    ++n;
  }
}
BENCHMARK(BM_JournalRecordOneEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
