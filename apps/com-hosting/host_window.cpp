#include "host_window.h"

namespace tavi::host {

namespace {

constexpr wchar_t kClassName[] = L"TaviHostWindow";

}  // namespace

HostWindow::~HostWindow() {
  std::string ignored;
  close(ignored);
}

bool HostWindow::open(int width, int height, std::string& error,
                      HostedControl::Activation activation, Showing showing) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error = "RegisterClassEx failed with error " + std::to_string(GetLastError());
    return false;
  }
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame{0, 0, width, height};
  AdjustWindowRect(&frame, style, FALSE);
  hwnd_ = CreateWindowExW(0, kClassName, L"tavi-host: TaviColorText", style, 0, 0,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                          wc.hInstance, this);
  if (hwnd_ == nullptr) {
    error = "CreateWindowEx failed with error " + std::to_string(GetLastError());
    return false;
  }
  if (showing == Showing::kForeground) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  } else {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  }
  UpdateWindow(hwnd_);
  return control_.open(hwnd_, error, activation);
}

bool HostWindow::close(std::string& error) {
  const bool closed = control_.close(error);
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  return closed;
}

LRESULT CALLBACK HostWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_SIZE:
      if (self != nullptr && self->control_.isOpen()) {
        RECT client{};
        GetClientRect(hwnd, &client);
        self->control_.resize(client);
      }
      return 0;
    case WM_SETFOCUS:
      // The focus belongs to the control while it is active.
      if (self != nullptr && self->control_.window() != nullptr) SetFocus(self->control_.window());
      return 0;
    case WM_CLOSE:
      // The window goes with the control, in close(); the loop ends here.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace tavi::host
