// State that exists once per thread and is shared by every control on that thread:
// the scripting-safety flags, the load flag, the editor-window hook, the keyword tables,
// and the caret, completion, hint and search bookkeeping.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/text.h"
#include "shell/widgets/environment.h"

namespace tavi {

struct ModuleState {
  // Scripting safety; the thread's start-up routine sets both.
  bool m_bSafeForScripting = false;
  bool m_bSafeForInitializing = false;

  // True while the host is still loading: loads and colouring leave the focus alone.
  bool m_bLoadFlag = false;

  // Editor-window hook.
  intptr_t m_hWndEditor = 0;
  bool m_bHooked = false;
  WindowProc m_lpPrevWndProc = nullptr;
  WindowSystem* m_pWindows = nullptr;  // the window system the hook was installed through
  bool m_bGutterDirty = false;

  // Keyword tables.
  std::vector<Text> m_strDelims;
  std::vector<Text> m_strParamHints;
  int16_t m_iHintLookBack = 0;
  int16_t m_iHintIndex = 0;
  bool m_bListShown = false;

  // Caret, completion and hint bookkeeping of the key and mouse handling.
  bool m_bTextChanged = false;
  bool m_bCaretMoved = false;
  bool m_bHintShown = false;
  int32_t m_lDownCaret = 0;
  int32_t m_lDownLine = 0;
  int32_t m_lLastCaret = 0;  // also the search position of the find commands
  int32_t m_lKeyUpCaret = 0;

  // The state of the calling thread; the first use runs the start-up routine.
  static ModuleState& forThisThread();
};

}  // namespace tavi
