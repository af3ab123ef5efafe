// The host's main window: a plain frame whose client area the sited control fills.
#pragma once

#include <windows.h>

#include <string>

#include "hosted_control.h"

namespace tavi::host {

class HostWindow {
 public:
  HostWindow() = default;
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Whether the window comes to the foreground as it opens, or opens behind the active one
  // (a second window of a host, which leaves the focus where it is).
  enum class Showing { kForeground, kBehind };
  // Creates and shows the window with a client area of the given size, then creates and
  // sites the control in it. False, with `error` set, when either fails.
  bool open(int width, int height, std::string& error,
            HostedControl::Activation activation = HostedControl::Activation::kUiActive,
            Showing showing = Showing::kForeground);
  // Closes the control (see HostedControl::close) and destroys the window.
  bool close(std::string& error);

  HWND hwnd() const { return hwnd_; }
  HostedControl& control() { return control_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HostedControl control_;
};

}  // namespace tavi::host
