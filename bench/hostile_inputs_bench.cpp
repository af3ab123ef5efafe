// What a hostile host can ask of the control, each to stay well under a person's notice:
// - find's worst case: a text of 160,000 "a" and a search for 80,000 "a" and a "b", which a
//   naive comparison takes a whole search text's length at every position to reject; both
//   directions through FindSE_New on the headless platform, under 20 ms each;
// - a Text put that shows a maximum-size warning of 1,000,000 "%1", under 50 ms.
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

void BM_TextPutWithWarningOfAMillionPlaceholders(benchmark::State& state) {
  bench::SizedControl c;
  c.finishLoading();
  Text warning;
  for (int i = 0; i < 1000000; ++i) warning += u"%1";
  c.control.m_strMaximumSize = warning;
  c.setMaxLength(4);
  for (auto _ : state) {
    c.control.SelectAll();
    c.load(u"WAIT 12");
    if (c.platform.messageBoxes().drain().size() != 1) state.SkipWithError("no warning shown");
  }
}
BENCHMARK(BM_TextPutWithWarningOfAMillionPlaceholders)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavi
