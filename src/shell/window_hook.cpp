#include "shell/window_hook.h"

namespace tavi {

void HookEditor(ModuleState& module, WindowSystem& windows) {
  if (module.m_bHooked) return;  // a second control on the thread keeps the first hook
  module.m_pWindows = &windows;
  module.m_lpPrevWndProc = windows.setWindowProc(module.m_hWndEditor, &EditorWndProc);
  module.m_bHooked = true;
}

void UnhookEditor(ModuleState& module) {
  // Without a saved procedure there is nothing to restore; putting a null procedure on a
  // live window would break it.
  if (module.m_pWindows != nullptr && module.m_lpPrevWndProc != nullptr)
    module.m_pWindows->setWindowProc(module.m_hWndEditor, module.m_lpPrevWndProc);
  module.m_bHooked = false;
}

intptr_t EditorWndProc(intptr_t hwnd, uint32_t message, intptr_t wParam, intptr_t lParam) {
  ModuleState& module = ModuleState::forThisThread();
  if (message == kWmVScroll || message == kWmTimer) module.m_bGutterDirty = true;
  if (module.m_pWindows == nullptr || module.m_lpPrevWndProc == nullptr) return 0;
  return module.m_pWindows->callWindowProc(module.m_lpPrevWndProc, hwnd, message, wParam, lParam);
}

}  // namespace tavi
