// The thread-wide services of the headless platform, one set shared by all its controls:
// the screen, the clipboard, the message boxes, the window system, the focus and the
// printers.
#pragma once

#include "headless/clipboard.h"
#include "headless/focus.h"
#include "headless/message_boxes.h"
#include "headless/printer_system.h"
#include "headless/screen.h"
#include "headless/window_system.h"

namespace tavi {

struct HeadlessServices {
  HeadlessScreen screen;
  HeadlessClipboard clipboard;
  HeadlessMessageBoxes messages;
  HeadlessWindowSystem windows;
  FocusTracker focus;
  HeadlessPrinterSystem printers;
};

}  // namespace tavi
