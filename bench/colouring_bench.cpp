// Keyword colouring of one line or one span in the middle of a 100,000-character script:
// what every key release costs for its colouring.
#include <benchmark/benchmark.h>

#include <iterator>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "language/colouring.h"
#include "shell/control.h"

namespace tavi {
namespace {

// Lines of a call-routing script with CR LF line breaks, repeated to `length` characters.
Text routingScript(size_t length) {
  static const char16_t* const kLines[] = {
      u"SECTION Queue_Call",
      u"    IF LOGGED AGENT COUNT Support_Skillset = 0 THEN",
      u"        EXECUTE Overflow",
      u"    END IF",
      u"    QUEUE TO SKILLSET Support_Skillset WITH PRIORITY c_priority_cv",
      u"    WAIT 2",
      u"    GIVE MUSIC Hold_Music_Route",
      u"    IF (AGE OF CALL > 600) OR NOT QUEUED AND IDLE AGENT COUNT Sales > 0 THEN",
      u"        ROUTE CALL Voicemail_Dn",
      u"    END IF",
      u"    /* callers who waited too long get the voicemail */",
  };
  Text script;
  for (size_t n = 0; script.size() < length; ++n) {
    script += kLines[n % std::size(kLines)];
    script += u"\r\n";
  }
  script.resize(length);
  return script;
}

class ScriptControl {
 public:
  ScriptControl() : widgets_(platform_.createControl()), control_(widgets_.widgets()) {
    widgets_.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
    control_.resize();
    control_.m_MaxLen = 200000;
    control_.m_bKeywordHighlight = true;
    const Text script = routingScript(100000);
    control_.putText(Variant::fromString(script));
    control_.putLoad_flag(Variant::fromBool(false));
    // Inside the longest line in the middle of the script, between two keywords.
    caret_ = static_cast<int32_t>(script.find(u"> 600", script.size() / 2)) + 2;
  }
  TaviColorText& control() { return control_; }
  int32_t caret() const { return caret_; }

 private:
  HeadlessPlatform platform_;
  HeadlessControl& widgets_;
  TaviColorText control_;
  int32_t caret_ = 0;
};

void BM_ColorSpan(benchmark::State& state) {
  ScriptControl script;
  for (auto _ : state) {
    int32_t p = script.caret();
    ColorSpan(script.control(), p);
  }
}
BENCHMARK(BM_ColorSpan)->Unit(benchmark::kMicrosecond);

void BM_ColorLine(benchmark::State& state) {
  ScriptControl script;
  for (auto _ : state) {
    int32_t p = script.caret();
    ColorLine(script.control(), p);
  }
}
BENCHMARK(BM_ColorLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi
