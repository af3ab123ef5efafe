// What the benchmarks share: a realistic call-routing script of a given length, and a control
// on the headless platform sized as tavi-script sizes it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "shell/control.h"

namespace tavi::bench {

// The median of timed samples (0 when there are none); sorts them.
inline double median(std::vector<double>& samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// Handlers of a call-routing script, each its own numbered section, cut at `length`
// characters; lines end in CR LF. The condition testing the age of the call is the longest
// line of every handler, with keywords on both sides of "> 600". Of 100,000 characters,
// character 50,000, where the typing and undo benchmarks type, is just before the priority
// of a QUEUE TO SKILLSET line. A cut between CR and LF ends the script in a space instead:
// loading drops a lone CR and would shorten it.
inline Text routingScript(size_t length) {
  static const char16_t* const kHandler[] = {
      u"/* Route #: callers who waited too long get voicemail */",
      u"SECTION Route_#",
      u"    IF (AGE OF CALL > 600) OR NOT QUEUED AND IDLE AGENT COUNT(Sales_Skillset) > 0 THEN",
      u"        ROUTE CALL Voicemail_Dn",
      u"    ELSE",
      u"        GIVE RINGBACK",
      u"        QUEUE TO SKILLSET Support_Skillset WITH PRIORITY c_priority_cv",
      u"        WAIT 2",
      u"    END IF",
      u"    IF LOGGED AGENT COUNT(Support_Skillset) = 0 THEN",
      u"        EXECUTE Overflow",
      u"    END IF",
      u"    GIVE MUSIC Hold_Music_Route",
      u"    WAIT 20",
  };
  Text script;
  script.reserve(length + 128);
  for (size_t handler = 1; script.size() < length; ++handler) {
    const std::string number = std::to_string(handler);
    for (const char16_t* line : kHandler) {
      for (const char16_t* c = line; *c; ++c) {
        if (*c == u'#')
          script.append(number.begin(), number.end());
        else
          script += *c;
      }
      script += u"\r\n";
    }
  }
  script.resize(length);
  if (!script.empty() && script.back() == u'\r') script.back() = u' ';
  return script;
}

// A control on the headless platform, sized as tavi-script sizes it, before anything is
// loaded. Like every control, it lives as long as its platform.
struct SizedControl {
  SizedControl() : widgets(platform.createControl()), control(widgets.widgets()) {
    widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
    control.resize();
  }

  // The most characters the control holds. The surface too takes it at once: the change
  // handling passes it on only at the next change, after a longer load would have been cut.
  void setMaxLength(int32_t maxLength) {
    control.m_MaxLen = maxLength;
    widgets.surface().setMaxLength(maxLength);
  }
  // Puts `text` through Text, as one user edit.
  void load(const Text& text) { control.putText(Variant::fromString(text)); }
  // Load_flag False, as the host sets it once it has filled the editor: from then on the
  // control takes the focus by itself.
  void finishLoading() { control.putLoad_flag(Variant::fromBool(false)); }

  HeadlessPlatform platform;
  HeadlessControl& widgets;
  TaviColorText control;
};

}  // namespace tavi::bench
