// The editor's mouse notifications and the context menu they open.
#pragma once

#include <cstdint>

#include "shell/keys.h"

namespace tavi {

class TaviColorText;

void HandleMouseDown(TaviColorText& control, int16_t button, int16_t shift, float x, float y);
void HandleMouseUp(TaviColorText& control, int16_t button, int16_t shift, float x, float y);
// Fills the popup menu from the host's comma-separated captions.
void BuildContextMenu(TaviColorText& control);
// The popup menu's click notification: entries 1 to 6 run the editing commands.
void MenuEntryChosen(TaviColorText& control, int16_t entry);

}  // namespace tavi
