// Keyword colouring of one line or one span in the middle of a 100,000-character script:
// what every key release costs for its colouring. And the whole-text colouring of a script
// of 32,767 lines (about 1.1 million characters): ColourAll, and Text put with ColourOnLoad
// beside Text put alone; the colouring is to stay under 200 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

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

// The routing script cut after its 32,767th line.
Text script32767Lines() {
  Text script = bench::routingScript(1200000);
  size_t end = 0;
  for (int line = 0; line < 32767; ++line) end = script.find(u"\r\n", end) + 2;
  script.resize(end - 2);
  return script;
}

// A control with keyword colouring on and room for the long script.
struct LongScriptControl : bench::SizedControl {
  explicit LongScriptControl(const Text& script) {
    setMaxLength(static_cast<int32_t>(script.size()) + 1000);
    control.m_bKeywordHighlight = true;
    finishLoading();
  }
};

// Every line but the comments and the ELSE holds a keyword run once coloured.
bool looksColoured(const LongScriptControl& c) {
  const std::vector<FormatRun> runs = c.widgets.surface().formats();
  const auto keywordRuns = std::count_if(runs.begin(), runs.end(), [](const FormatRun& run) {
    return run.color == kColorKeyword && run.bold;
  });
  return keywordRuns > 32767 / 2;
}

void BM_ColourAll32767Lines(benchmark::State& state) {
  const Text script = script32767Lines();
  LongScriptControl c(script);
  c.load(script);
  for (auto _ : state) c.control.ColourAll();
  if (!looksColoured(c)) state.SkipWithError("the script did not come out coloured");
  state.counters["characters"] = static_cast<double>(script.size());
}
BENCHMARK(BM_ColourAll32767Lines)->Unit(benchmark::kMillisecond);

// Text put into an empty control: the load alone, and with ColourOnLoad.
void putLongScript(benchmark::State& state, bool colourOnLoad) {
  const Text script = script32767Lines();
  std::unique_ptr<LongScriptControl> c;
  for (auto _ : state) {
    state.PauseTiming();
    c.reset();
    c = std::make_unique<LongScriptControl>(script);
    c->control.ColourOnLoad = colourOnLoad;
    state.ResumeTiming();
    c->load(script);
  }
  if (colourOnLoad && !looksColoured(*c)) state.SkipWithError("the load did not colour");
}

void BM_TextPut32767Lines(benchmark::State& state) { putLongScript(state, false); }
BENCHMARK(BM_TextPut32767Lines)->Unit(benchmark::kMillisecond);

void BM_TextPutColourOnLoad32767Lines(benchmark::State& state) { putLongScript(state, true); }
BENCHMARK(BM_TextPutColourOnLoad32767Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavi
