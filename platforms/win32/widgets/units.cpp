#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr int kDefaultDpi = 96;
constexpr int kFontSizeHundredths = 975;  // 9.75 pt

}  // namespace

int screenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDefaultDpi;
  }();
  return dpi;
}

HINSTANCE moduleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
  return module;
}

void registerWindowClass(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background,
                         HCURSOR cursor) {
  const HINSTANCE instance = moduleInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name, &existing)) {
    if (existing.lpfnWndProc == proc) return;
    UnregisterClassW(name, instance);
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

HFONT createEditorFont(const wchar_t* face) {
  const int height = -MulDiv(kFontSizeHundredths, screenDpi(), 7200);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     FIXED_PITCH | FF_MODERN, face);
}

}  // namespace tavi::win32
