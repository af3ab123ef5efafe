// The editor-window hook: a window procedure put in front of the editor's own, so that
// scrolling (which the editor reports to nobody) marks the gutter for repainting.
#pragma once

#include <cstdint>

#include "shell/module_state.h"

namespace tavi {

// Installs EditorWndProc on the thread's m_hWndEditor unless a hook is already in place.
void HookEditor(ModuleState& module, WindowSystem& windows);
// Puts the saved procedure back on m_hWndEditor and clears m_bHooked.
void UnhookEditor(ModuleState& module);
intptr_t EditorWndProc(intptr_t hwnd, uint32_t message, intptr_t wParam, intptr_t lParam);

}  // namespace tavi
