// A control with keyword colouring on, given a text and a caret, and readers of what the
// person sees: the keywords marked in the text, the floating widgets, the events.
#pragma once

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

  // Replaces the whole text (as a load) and puts the caret; the list and the hint are
  // hidden, the bookkeeping is that of a key released there, the change flag is clear, and
  // earlier events and message boxes are forgotten.
  void given(std::u16string_view text, int32_t caret) {
    list().setVisible(false);
    hint().setVisible(false);
    module().m_bListShown = module().m_bHintShown = false;
    control.m_bChange = false;
    surface().setSelStart(0);
    surface().setSelLength(surface().textLength());
    load(text);
    surface().setSelStart(caret);
    module().m_lDownLine = surface().lineFromChar(caret);
    module().m_bCaretMoved = false;
    sink.events.clear();
    platform.messageBoxes().drain();
  }

  void press(int16_t keyCode, int16_t shift = 0) { widgets.key(keyCode, shift); }

  // The text with every blue bold stretch in brackets ("[IF] A [THEN]"); any other format
  // than plain or keyword shows as "{...}".
  Text marked() {
    const Text all = text();
    Text out;
    for (const FormatRun& run : surface().formats()) {
      const Text piece = all.substr(run.start, run.length);
      if (run.color == kColorKeyword && run.bold)
        out += u"[" + piece + u"]";
      else if (run.color == kColorPlain && !run.bold)
        out += piece;
      else
        out += u"{" + piece + u"}";
    }
    return out;
  }

  int32_t indexOf(std::u16string_view keyword) {
    const auto& items = list().items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == keyword) return static_cast<int32_t>(i);
    ADD_FAILURE() << "no such keyword";
    return -1;
  }

  int32_t snapshots() const { return control.m_colUndo.count(); }
};

}  // namespace tavi::testing
