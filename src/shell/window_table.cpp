#include "shell/window_table.h"

namespace tavi {

namespace {
constexpr intptr_t kHandleStep = 0x10;
}

intptr_t WindowTable::createWindow() {
  const intptr_t hwnd = nextHandle_;
  nextHandle_ += kHandleStep;
  procs_[hwnd] = &defaultWindowProc;
  return hwnd;
}

WindowProc WindowTable::setWindowProc(intptr_t hwnd, WindowProc proc) {
  auto it = procs_.find(hwnd);
  if (it == procs_.end()) return nullptr;
  WindowProc previous = it->second;
  it->second = proc;
  return previous;
}

intptr_t WindowTable::callWindowProc(WindowProc proc, intptr_t hwnd, uint32_t message,
                                     intptr_t wParam, intptr_t lParam) {
  return proc != nullptr ? proc(hwnd, message, wParam, lParam) : 0;
}

intptr_t WindowTable::sendMessage(intptr_t hwnd, uint32_t message, intptr_t wParam,
                                  intptr_t lParam) {
  return callWindowProc(windowProc(hwnd), hwnd, message, wParam, lParam);
}

WindowProc WindowTable::windowProc(intptr_t hwnd) const {
  auto it = procs_.find(hwnd);
  return it != procs_.end() ? it->second : nullptr;
}

intptr_t WindowTable::defaultWindowProc(intptr_t, uint32_t, intptr_t, intptr_t) { return 0; }

}  // namespace tavi
