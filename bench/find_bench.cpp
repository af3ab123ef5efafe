// The worst case of find: a text of 160,000 "a" and a search for 80,000 "a" and a "b", which
// a naive comparison takes a whole search text's length at every position to reject. Both
// directions through FindSE_New on the headless platform, to stay under 20 ms each.
#include <benchmark/benchmark.h>

#include "bench_support.h"

namespace tavi {
namespace {

void findWorstCase(benchmark::State& state, bool up) {
  constexpr size_t kHalf = 80000;
  bench::SizedControl c;
  c.setMaxLength(400000);
  c.load(Text(2 * kHalf, u'a'));
  c.finishLoading();
  c.control.m_strNotFoundText = u"Not found";
  const Text what = Text(kHalf, u'a') + u"b";
  for (auto _ : state) {
    c.control.module().m_lLastCaret = 0;
    if (c.control.FindSE_New(what, false, up).empty())
      state.SkipWithError("found what is not there");
  }
}

void BM_FindDownWorstCase80000(benchmark::State& state) { findWorstCase(state, false); }
BENCHMARK(BM_FindDownWorstCase80000)->Unit(benchmark::kMillisecond);

void BM_FindUpWorstCase80000(benchmark::State& state) { findWorstCase(state, true); }
BENCHMARK(BM_FindUpWorstCase80000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavi
