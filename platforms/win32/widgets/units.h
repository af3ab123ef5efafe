// Units and small helpers at the Windows boundary: the control measures its widgets in
// twips and draws in pixels of the screen; strings cross as UTF-16 in both worlds
// (wchar_t is 16 bits on Windows); window classes belong to the module holding this code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/text.h"

namespace tavi::win32 {

// Logical pixels per inch of the screen (vertical; 96 on a usual setup).
int screenDpi();

inline int32_t toTwips(int pixels) { return MulDiv(pixels, 1440, screenDpi()); }
// Pixels of a twips value, rounded to the nearest pixel.
inline int toPixels(int32_t twips) { return MulDiv(twips, screenDpi(), 1440); }

inline const wchar_t* wide(TextView text) { return reinterpret_cast<const wchar_t*>(text.data()); }
inline std::wstring wideString(TextView text) { return std::wstring(wide(text), text.size()); }
inline Text toText(const wchar_t* s, size_t n) {
  return Text(reinterpret_cast<const char16_t*>(s), n);
}

// The module (DLL or program) whose code this is: window classes are registered for it.
HINSTANCE moduleInstance();

// Registers a window class of this module once per process; a class left behind by an
// earlier load of the module (its procedure gone with it) is registered afresh.
void registerWindowClass(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background,
                         HCURSOR cursor);

// The editor's font, "Courier New" 9.75 pt at normal weight, for the screen.
HFONT createEditorFont(const wchar_t* face = L"Courier New");

}  // namespace tavi::win32
