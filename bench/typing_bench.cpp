// One typed character in the middle of a 100,000-character script: key press, insertion,
// change handling with its snapshot, key release with span colouring.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_support.h"

namespace tavi {
namespace {

void BM_TypeOneCharacter(benchmark::State& state) {
  bench::SizedControl script;
  script.setMaxLength(200000);  // room for the typing
  script.control.putKeywordHighlight_flag(Variant::fromBool(true));
  script.load(bench::routingScript(100000));
  script.finishLoading();
  HeadlessControl& widgets = script.widgets;
  // The person clicks into the middle of a line, so typing recolours the span around it.
  widgets.surface().setSelStart(50000);
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
  std::printf("typing one character into a 100,000-character script: median %.1f us\n", median);
}
BENCHMARK(BM_TypeOneCharacter)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
