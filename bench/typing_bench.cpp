// One typed character in the middle of a 100,000-character script: key press, insertion,
// change handling with its snapshot, key release with span colouring.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "shell/control.h"

namespace tavi {
namespace {

Text scriptOf(size_t length) {
  static const char* const kLines[] = {
      "SECTION Queue_Call",
      "    IF LOGGED AGENT COUNT Support_Skillset = 0 THEN",
      "        EXECUTE Overflow",
      "    END IF",
      "    QUEUE TO SKILLSET Support_Skillset WITH PRIORITY c_priority_cv",
      "    WAIT 2",
      "    GIVE MUSIC Hold_Music_Route",
      "    IF (AGE OF CALL > 600) OR NOT QUEUED THEN",
      "        ROUTE CALL Voicemail_Dn",
      "    END IF"};
  Text script;
  for (size_t n = 0; script.size() < length; ++n) {
    for (const char* c = kLines[n % std::size(kLines)]; *c; ++c)
      script += static_cast<char16_t>(*c);
    script += u"\r\n";
  }
  script.resize(length);
  return script;
}

void BM_TypeOneCharacter(benchmark::State& state) {
  HeadlessPlatform platform;
  HeadlessControl& widgets = platform.createControl();
  TaviColorText control(widgets.widgets());
  widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
  control.resize();
  control.m_MaxLen = 200000;  // room for the typing
  control.putKeywordHighlight_flag(Variant::fromBool(true));
  control.putText(Variant::fromString(scriptOf(100000)));
  control.putLoad_flag(Variant::fromBool(false));
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
  std::sort(micros.begin(), micros.end());
  const double median = micros.empty() ? 0 : micros[micros.size() / 2];
  state.counters["median_us"] = median;
  std::printf("typing one character into a 100,000-character script: median %.1f us\n", median);
}
BENCHMARK(BM_TypeOneCharacter)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
