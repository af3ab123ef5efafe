// The window-procedure chain on Windows. The core's procedures are plain C++ functions,
// not window procedures (on 32-bit Windows a window procedure is __stdcall), so a window
// hooked by the core gets a fixed window procedure of ours that calls the core's
// procedure kept for that window. Procedures the windows had before are handed to the
// core as they are, so that it can call them (through CallWindowProcW) and put them back.
#pragma once

#include <windows.h>

#include "shell/widgets/environment.h"

namespace tavi::win32 {

class Win32WindowSystem final : public WindowSystem {
 public:
  // Installs `proc` on the window: a procedure this object handed out earlier goes back
  // as it is; any other is the core's and is called through our window procedure.
  // Returns the procedure replaced (null for a window that is not one of this thread's).
  WindowProc setWindowProc(intptr_t hwnd, WindowProc proc) override;
  intptr_t callWindowProc(WindowProc proc, intptr_t hwnd, uint32_t message, intptr_t wParam,
                          intptr_t lParam) override;

  // The window procedure that calls the core's procedures.
  static WNDPROC coreProcedureCaller();
};

}  // namespace tavi::win32
