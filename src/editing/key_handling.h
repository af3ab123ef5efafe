// The editor's key notifications: the key press keeps the caret bookkeeping and prepares
// Ctrl+V; the key release recolours, drives the completion list and the hint, keeps
// m_bChange and ends with onEvent 1007.
#pragma once

#include <cstdint>

#include "shell/keys.h"

namespace tavi {

class TaviColorText;

void HandleKeyDown(TaviColorText& control, int16_t& keyCode, int16_t& shift);
void HandleKeyUp(TaviColorText& control, int16_t& keyCode, int16_t& shift);

// Tab: a tab before the selection, or before every line of a selected block.
void IndentSelection(TaviColorText& control);

// Puts the clipboard's text back as plain text (read, clear, set). Errors propagate.
void MakeClipboardPlain(TaviColorText& control);

}  // namespace tavi
