#include "tavi-script/core_state.h"

namespace tavi::script {

namespace {

using OrderedJson = nlohmann::ordered_json;

OrderedJson journalOf(const Journal& journal) {
  OrderedJson entries = OrderedJson::array();
  for (int32_t i = 1; i <= journal.count(); ++i) {
    const UndoElement& e = journal.item(i);
    entries.push_back(
        {{"selStart", e.SelStart}, {"textLen", e.TextLen}, {"text", toUtf8(e.Text.str())}});
  }
  return entries;
}

}  // namespace

OrderedJson coreStateOf(const TaviColorText& control) {
  const ModuleState& m = control.module();
  OrderedJson state;
  state["undo"] = journalOf(control.m_colUndo);
  state["redo"] = journalOf(control.m_colRedo);
  state["trackChanges"] = control.m_bTrackChanges;
  state["flags"] = {{"textChanged", m.m_bTextChanged},
                    {"caretMoved", m.m_bCaretMoved},
                    {"listShown", m.m_bListShown},
                    {"hintShown", m.m_bHintShown},
                    {"hintIndex", m.m_iHintIndex},
                    {"downCaret", m.m_lDownCaret},
                    {"downLine", m.m_lDownLine},
                    {"lastCaret", m.m_lLastCaret},
                    {"keyUpCaret", m.m_lKeyUpCaret},
                    {"gutterDirty", m.m_bGutterDirty},
                    {"hooked", m.m_bHooked},
                    {"loadFlag", m.m_bLoadFlag},
                    {"menuBuilt", control.m_bMenuBuilt}};
  return state;
}

}  // namespace tavi::script
