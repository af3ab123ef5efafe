// Keyboard and mouse input for the sited control, and the host's message loop.
//
// Input is posted to the target window's queue (WM_KEYDOWN, WM_CHAR, WM_KEYUP, mouse
// buttons) rather than injected with SendInput: SendInput goes to whichever window has the
// keyboard focus of the foreground window, which under Wine on an Xvfb display without a
// window manager is not reliably ours, while a posted message always reaches the editor and
// takes the same road as a typed key (the message loop, the UI-active object's
// TranslateAccelerator, the window procedures). The loop therefore does not call
// TranslateMessage on these keys: every character comes as the WM_CHAR posted with it.
// No Shift is held: capitals are typed as with Caps Lock on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tavi::host {

class HostedControl;

class Input {
 public:
  explicit Input(const HostedControl& control) : control_(control) {}

  // Types `keys` into `target` key by key, each key handled before the next. Characters
  // type themselves (LF is Enter); a name in braces is a key of its own: {ENTER} {TAB}
  // {ESC} {BS} {DEL} {UP} {DOWN} {LEFT} {RIGHT} {HOME} {END} {PGUP} {PGDN} {F1}..{F12};
  // {{} types "{". False, with nothing typed and `error` set, for an unknown key name.
  bool type(HWND target, std::wstring_view keys, std::string& error);
  // A left click at `at` in `target`'s client coordinates.
  void click(HWND target, POINT at);

  // Dispatches every message waiting in this thread's queue.
  void drain();
  // Runs the message loop until `done` answers true or `ms` milliseconds have passed;
  // returns what `done` last answered.
  bool runUntil(DWORD ms, const std::function<bool()>& done);

 private:
  void key(HWND target, UINT vk, wchar_t typed);
  void dispatch(MSG& message);

  const HostedControl& control_;
};

// The message loop for a person at the keyboard, until the host's window closes: keys go to
// the UI-active object first, then through TranslateMessage.
int runInteractive(const HostedControl& control);

}  // namespace tavi::host
