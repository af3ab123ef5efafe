// The thread-wide services of the Qt platform, shared by every control on the thread as
// the module state is: the screen (override cursor, keys held), the system clipboard,
// modal message boxes, the window-procedure chain of the editing surfaces and the printers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "qt/printer_system.h"
#include "shell/widgets/environment.h"
#include "shell/window_table.h"

namespace tavi::qt {

// The mouse pointer of the whole application (QGuiApplication's override cursor) and the
// keys held down, as the surfaces saw them go down and up.
class QtScreen final : public Screen {
 public:
  ~QtScreen() override;
  int16_t mousePointer() const override { return pointer_; }
  // 11 shows the busy cursor over every window, 0 restores the normal pointers.
  void setMousePointer(int16_t pointer) override;
  int16_t keyState(int virtualKey) const override;
  // From the application palette: window text (8), button face (15), button shadow (16)
  // and the other roles a palette has; nothing for an index without a counterpart.
  std::optional<int32_t> systemColor(int index) const override;

  void pressKey(int virtualKey);
  void releaseKey(int virtualKey) { down_.erase(virtualKey); }
  // Caps Lock as a host or a test puts it (a person toggles it with its key).
  void setCapsLock(bool on) { capsLock_ = on; }

 private:
  int16_t pointer_ = 0;
  bool overridden_ = false;
  std::set<int> down_;
  bool capsLock_ = false;
};

// The system clipboard. The control's text has CR LF line breaks; the clipboard carries
// the platform's LF, so the two convert at this boundary.
class QtClipboard final : public Clipboard {
 public:
  std::optional<Text> text() override;
  void setText(TextView text) override;
  void clear() override;

  // While locked (another program holds the clipboard open, as a test host makes it),
  // every access fails with error 521. Off unless a host sets it.
  bool locked() const { return locked_; }
  void setLocked(bool locked) { locked_ = locked; }

 private:
  void open() const;  // throws RuntimeError 521 while locked

  bool locked_ = false;
};

// Modal message boxes with the buttons and icon of the style value; the result is the
// number of the button pressed (1 OK, 2 Cancel, 6 Yes, 7 No, ...). A host or a test may
// answer in place of the user.
class QtMessageBoxes final : public MessageBoxes {
 public:
  using Answerer = std::function<int(TextView text, int32_t style, TextView title)>;
  int show(TextView text, int32_t style, TextView title) override;
  void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

 private:
  Answerer answerer_;
};

// Window procedures for the editing surfaces: each surface has a handle and a chain of
// procedures; the surface sends its vertical-scroll notifications down the chain.
class QtWindowSystem final : public WindowTable {
 public:
  QtWindowSystem() : WindowTable(0x20010) {}
};

struct QtServices {
  QtScreen screen;
  QtClipboard clipboard;
  QtMessageBoxes messages;
  QtWindowSystem windows;
  QtPrinterSystem printers;

  static QtServices& forThisThread();
};

}  // namespace tavi::qt
