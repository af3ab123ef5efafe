#include "win32/widgets/window_system.h"

#include <map>
#include <set>

namespace tavi::win32 {

namespace {

// Per thread: a window's messages are always delivered on the thread that owns it, and
// the core hooks windows of its own thread.
struct Chains {
  std::map<HWND, WindowProc> core;  // the core's procedure installed on each window
  std::set<WindowProc> native;      // window procedures handed to the core
};

Chains& chains() {
  thread_local Chains c;
  return c;
}

LRESULT CALLBACK callCore(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& core = chains().core;
  const auto it = core.find(hwnd);
  if (it == core.end()) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = it->second(reinterpret_cast<intptr_t>(hwnd), message,
                                    static_cast<intptr_t>(wParam), static_cast<intptr_t>(lParam));
  // A handle may come back for another window once this one is gone.
  if (message == WM_NCDESTROY) chains().core.erase(hwnd);
  return result;
}

LONG_PTR callerValue() { return reinterpret_cast<LONG_PTR>(&callCore); }

}  // namespace

WNDPROC Win32WindowSystem::coreProcedureCaller() { return &callCore; }

WindowProc Win32WindowSystem::setWindowProc(intptr_t hwnd, WindowProc proc) {
  const HWND window = reinterpret_cast<HWND>(hwnd);
  DWORD process = 0;
  if (proc == nullptr || !IsWindow(window) ||
      GetWindowThreadProcessId(window, &process) != GetCurrentThreadId())
    return nullptr;
  Chains& c = chains();
  const bool native = c.native.count(proc) != 0;
  const auto old = c.core.find(window);
  const WindowProc oldCore = old != c.core.end() ? old->second : nullptr;
  if (!native) c.core[window] = proc;
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrW(
      window, GWLP_WNDPROC, native ? reinterpret_cast<LONG_PTR>(proc) : callerValue());
  if (previous == 0 && GetLastError() != 0) {
    // Nothing changed: the window keeps the core procedure it had, if any.
    if (oldCore != nullptr)
      c.core[window] = oldCore;
    else
      c.core.erase(window);
    return nullptr;
  }
  if (native) c.core.erase(window);
  if (previous == callerValue()) return oldCore;
  const auto replaced = reinterpret_cast<WindowProc>(previous);
  c.native.insert(replaced);
  return replaced;
}

intptr_t Win32WindowSystem::callWindowProc(WindowProc proc, intptr_t hwnd, uint32_t message,
                                           intptr_t wParam, intptr_t lParam) {
  if (proc == nullptr) return 0;
  if (chains().native.count(proc) != 0) {
    const auto windowProc = reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(proc));
    return CallWindowProcW(windowProc, reinterpret_cast<HWND>(hwnd), message,
                           static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
  }
  return proc(hwnd, message, wParam, lParam);
}

}  // namespace tavi::win32
