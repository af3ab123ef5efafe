// One typed character in the middle of a 100,000-character script: key press, insertion,
// change handling with its snapshot, key release with span colouring. And the same in one
// line of 50,000 characters, where the span to colour is the whole line (to stay under
// 0.1 ms a key).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_support.h"

namespace tavi {
namespace {

// Types one character per iteration at `caret` of `text`, keyword colouring on, and prints
// the median time of a key.
void typeAt(benchmark::State& state, const char* what, const Text& text, int32_t caret) {
  bench::SizedControl script;
  script.setMaxLength(static_cast<int32_t>(text.size()) * 2);  // room for the typing
  script.control.putKeywordHighlight_flag(Variant::fromBool(true));
  script.load(text);
  script.finishLoading();
  HeadlessControl& widgets = script.widgets;
  // The person clicks into the middle of a line, so typing recolours the span around it.
  widgets.surface().setSelStart(caret);
  widgets.select(widgets.surface().selStart(), 0);

  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    widgets.type(u"x");
    const auto end = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  const double median = bench::median(micros);
  state.counters["median_us"] = median;
  std::printf("typing one character into %s: median %.1f us\n", what, median);
}

void BM_TypeOneCharacter(benchmark::State& state) {
  typeAt(state, "a 100,000-character script", bench::routingScript(100000), 50000);
}
BENCHMARK(BM_TypeOneCharacter)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The script's lines joined by blanks into one line: keywords all along it.
void BM_TypeInto50000CharacterLine(benchmark::State& state) {
  Text line = bench::routingScript(50000);
  std::replace(line.begin(), line.end(), u'\r', u' ');
  std::replace(line.begin(), line.end(), u'\n', u' ');
  typeAt(state, "one line of 50,000 characters", line, 25000);
}
BENCHMARK(BM_TypeInto50000CharacterLine)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
