// The editor's key and mouse notifications.
#pragma once

#include <cstdint>

#include "shell/keys.h"

namespace tavi {

class TaviColorText;

void HandleKeyDown(TaviColorText& control, int16_t& keyCode, int16_t& shift);
void HandleKeyUp(TaviColorText& control, int16_t& keyCode, int16_t& shift);
void HandleMouseDown(TaviColorText& control, int16_t button, int16_t shift, float x, float y);
void HandleMouseUp(TaviColorText& control, int16_t button, int16_t shift, float x, float y);
// The context menu's click notification.
void MenuEntryChosen(TaviColorText& control, int16_t entry);

// Puts the clipboard's text back as plain text (read, clear, set). Errors propagate.
void MakeClipboardPlain(TaviColorText& control);

}  // namespace tavi
