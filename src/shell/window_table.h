// Window procedures for platforms whose widgets have none: a table of windows and their
// current procedures, so that a hook put in front of a window's procedure sees the
// messages delivered to that window.
#pragma once

#include <cstdint>
#include <map>

#include "shell/widgets/environment.h"

namespace tavi {

class WindowTable : public WindowSystem {
 public:
  // Handles are handed out from `firstHandle` on, so two tables never share one.
  explicit WindowTable(intptr_t firstHandle) : nextHandle_(firstHandle) {}

  // A new window with the default procedure; returns its handle.
  intptr_t createWindow();
  void destroyWindow(intptr_t hwnd) { procs_.erase(hwnd); }
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
  intptr_t nextHandle_;
};

}  // namespace tavi
