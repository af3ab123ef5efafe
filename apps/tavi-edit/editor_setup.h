// How tavi-edit sets up its control: the host's English texts, keyword colouring, and
// every opt-in extension on (colour on load, strict lock, no empty hint box, list keys,
// undo by words, Shift+Tab outdent, parameter hints in English).
#pragma once

namespace tavi {

class TaviColorTextWidget;

void setUpEditor(TaviColorTextWidget& editor);

}  // namespace tavi
