// Keyword colouring of one line or one span in the middle of a 100,000-character script:
// what every key release costs for its colouring.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_support.h"
#include "language/colouring.h"

namespace tavi {
namespace {

// The script loaded with keyword highlighting on, and the caret inside the longest line in the
// middle of the script, between two keywords.
struct ColouredScript : bench::SizedControl {
  ColouredScript() {
    setMaxLength(200000);
    control.m_bKeywordHighlight = true;
    const Text script = bench::routingScript(100000);
    load(script);
    finishLoading();
    caret = static_cast<int32_t>(script.find(u"> 600", script.size() / 2)) + 2;
  }
  int32_t caret = 0;
};

void BM_ColorSpan(benchmark::State& state) {
  ColouredScript script;
  for (auto _ : state) {
    int32_t p = script.caret;
    ColorSpan(script.control, p);
  }
}
BENCHMARK(BM_ColorSpan)->Unit(benchmark::kMicrosecond);

void BM_ColorLine(benchmark::State& state) {
  ColouredScript script;
  for (auto _ : state) {
    int32_t p = script.caret;
    ColorLine(script.control, p);
  }
}
BENCHMARK(BM_ColorLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
