// Text in and out of a RichEdit window as UTF-16 (code page 1200), whatever the window's
// own character set: RichEdit 1.0 windows are ANSI windows that keep UTF-16 text.
#pragma once

#include <windows.h>

#include "shell/text.h"

namespace tavi::win32 {

Text richText(HWND richEdit);
int32_t richTextLength(HWND richEdit);
// Replaces the window's selection by `text` and leaves the caret behind it. A NUL, which
// RichEdit cannot hold, goes in as U+FFFD rather than cutting the text short.
void insertRichText(HWND richEdit, TextView text);

}  // namespace tavi::win32
