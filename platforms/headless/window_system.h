// The headless window system: a table of windows and their current window procedures, so
// that a hook put in front of a window's procedure sees the messages sent to it.
#pragma once

#include <cstdint>
#include <map>

#include "shell/widgets/environment.h"

namespace tavi {

class HeadlessWindowSystem final : public WindowSystem {
 public:
  // A new window with the default procedure; returns its handle (unique in this system).
  intptr_t createWindow();
  // Replaces the window's procedure and returns the previous one; for an unknown window
  // nothing changes and the result is null.
  WindowProc setWindowProc(intptr_t hwnd, WindowProc proc) override;
  intptr_t callWindowProc(WindowProc proc, intptr_t hwnd, uint32_t message, intptr_t wParam,
                          intptr_t lParam) override;

  // Delivers a message to the window's current procedure (the head of its chain); 0 for
  // an unknown window.
  intptr_t sendMessage(intptr_t hwnd, uint32_t message, intptr_t wParam = 0, intptr_t lParam = 0);
  WindowProc windowProc(intptr_t hwnd) const;

  // What a window does with a message nobody intercepts: nothing, result 0.
  static intptr_t defaultWindowProc(intptr_t hwnd, uint32_t message, intptr_t wParam,
                                    intptr_t lParam);

 private:
  std::map<intptr_t, WindowProc> procs_;
  intptr_t nextHandle_ = 0x10010;
};

}  // namespace tavi
