// The thread-wide services of the Windows platform, shared by every control on the thread
// as the module state is: the screen (mouse pointer, key state, system colours), the
// clipboard, modal message boxes, the window-procedure chain and the printers.
#pragma once

#include <windows.h>

#include <functional>

#include "shell/widgets/environment.h"
#include "win32/widgets/printer_system.h"
#include "win32/widgets/window_system.h"

namespace tavi::win32 {

// The application's mouse pointer: 11 shows the hourglass over the control's windows
// until 0 restores the pointers the windows ask for.
class Win32Screen final : public Screen {
 public:
  int16_t mousePointer() const override { return pointer_; }
  void setMousePointer(int16_t pointer) override;
  int16_t keyState(int virtualKey) const override { return GetKeyState(virtualKey); }
  // GetSysColor for the indices the system knows; nothing for any other.
  std::optional<int32_t> systemColor(int index) const override;

  // The cursor a window of the control shows under the current pointer, or null when the
  // window's own cursor applies.
  HCURSOR overrideCursor() const;

 private:
  int16_t pointer_ = 0;
};

// The system clipboard in CF_UNICODETEXT. A clipboard that cannot be opened (another
// program holds it) is RuntimeError 521.
class Win32Clipboard final : public Clipboard {
 public:
  Win32Clipboard() = default;
  ~Win32Clipboard() override;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;

  // Line breaks come back as CR LF, whatever the program that put the text used.
  std::optional<Text> text() override;
  void setText(TextView text) override;
  void clear() override;

 private:
  class Opened;
  // The window that owns what this thread puts on the clipboard.
  HWND owner();
  HWND owner_ = nullptr;
};

// Modal message boxes (MessageBoxW) with the style's buttons and icon; the result is the
// button pressed (1 OK, 2 Cancel, 6 Yes, 7 No, ...). A test may answer in place of a person.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  using Answerer = std::function<int(TextView text, int32_t style, TextView title)>;
  int show(TextView text, int32_t style, TextView title) override;
  void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

 private:
  Answerer answerer_;
};

struct Win32Services {
  Win32Screen screen;
  Win32Clipboard clipboard;
  Win32MessageBoxes messages;
  Win32WindowSystem windows;
  Win32PrinterSystem printers;

  static Win32Services& forThisThread();
};

}  // namespace tavi::win32
