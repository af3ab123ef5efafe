// A control on the headless platform, sized as tavi-script sizes it, with its events
// recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "shell/control.h"
#include "shell/dispatch.h"

namespace tavi::testing {

struct RecordingSink : EventSink {
  void onChange() override { events.push_back("change"); }
  void onEvent(int16_t& id) override { events.push_back(std::to_string(id)); }
  std::vector<std::string> events;
};

class ControlFixture : public ::testing::Test {
 protected:
  ControlFixture() : widgets(platform.createControl()), control(widgets.widgets()) {
    widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
    control.resize();
    control.addEventSink(&sink);
  }
  ~ControlFixture() override { control.removeEventSink(&sink); }

  InvokeResult invoke(std::string_view name, MemberKind kind, std::vector<Variant> args = {}) {
    const DispatchTable& table = DispatchTable::instance();
    return table.invoke(control, table.idOfName(name).value(), kind, std::move(args));
  }
  // Replaces the whole text through the Text property.
  void load(std::u16string_view text) {
    widgets.surface().setSelStart(0);
    widgets.surface().setSelLength(widgets.surface().textLength());
    control.putText(Variant::fromString(Text(text)));
  }
  Text text() const { return widgets.surface().text(); }
  // The text with every keyword run (blue bold) in brackets ("[IF] A [THEN]") and every run
  // of another format than keyword or plain in braces.
  Text marked() const {
    const Text all = text();
    Text out;
    for (const FormatRun& run : widgets.surface().formats()) {
      const Text piece = all.substr(run.start, run.length);
      const bool keyword = run.color == kColorKeyword && run.bold;
      const bool plain = run.color == kColorPlain && !run.bold;
      out += keyword ? u"[" + piece + u"]" : plain ? piece : u"{" + piece + u"}";
    }
    return out;
  }

  HeadlessPlatform platform;
  HeadlessControl& widgets;
  TaviColorText control;
  RecordingSink sink;
};

}  // namespace tavi::testing
