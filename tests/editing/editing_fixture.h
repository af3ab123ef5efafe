// A control with keyword colouring on, put at a given text and caret, and readers of what
// the person sees: the floating widgets and the events.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "shell/keys.h"
#include "support/control_fixture.h"

namespace tavi::testing {

using Events = std::vector<std::string>;

class EditingFixture : public ControlFixture {
 protected:
  EditingFixture() {
    control.m_bKeywordHighlight = true;
    control.m_bFirstTime = false;
  }

  HeadlessEditSurface& surface() { return widgets.surface(); }
  HeadlessListBox& list() { return widgets.list(); }
  HeadlessHintBox& hint() { return widgets.hint(); }
  ModuleState& module() { return control.module(); }

  // Loads `text`, selects `length` characters from `caret` (-1: the end) and sets the
  // bookkeeping of a key released there: list and hint hidden, change flag clear, events and
  // message boxes gone.
  void given(std::u16string_view text, int32_t caret = -1, int32_t length = 0) {
    if (caret < 0) caret = static_cast<int32_t>(text.size());
    list().setVisible(false);
    hint().setVisible(false);
    module().m_bListShown = module().m_bHintShown = false;
    control.m_bChange = false;
    load(text);
    surface().setSelStart(caret);
    surface().setSelLength(length);
    module().m_lDownLine = surface().lineFromChar(caret);
    module().m_bCaretMoved = false;
    sink.events.clear();
    platform.messageBoxes().drain();
  }

  void press(int16_t keyCode, int16_t shift = 0) { widgets.key(keyCode, shift); }

  int32_t indexOf(std::u16string_view keyword) {
    const auto& items = list().items();
    return static_cast<int32_t>(std::find(items.begin(), items.end(), keyword) - items.begin());
  }
};

}  // namespace tavi::testing
