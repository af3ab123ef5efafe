// What the control reaches outside its own widgets: the host's site, the screen, the
// clipboard, message boxes, the popup menu and the window-procedure chain.
#pragma once

#include <cstdint>
#include <optional>

#include "shell/text.h"

namespace tavi {

// The user control's own surface as the host sized it.
class ControlSite {
 public:
  virtual ~ControlSite() = default;
  // Inner size in twips (ScaleWidth, ScaleHeight).
  virtual double scaleWidth() const = 0;
  virtual double scaleHeight() const = 0;
  // Measures of a string in the control's font, in pixels.
  virtual double textWidth(TextView text) const = 0;
  virtual double textHeight(TextView text) const = 0;
  // Whether a script's Paste may read the clipboard: a browser decides for the page that
  // hosts the control. A host without a say allows it.
  virtual bool allowsScriptedPaste() const { return true; }
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual int16_t mousePointer() const = 0;
  virtual void setMousePointer(int16_t pointer) = 0;
  // GetKeyState: the high bit (negative value) means the key is down.
  virtual int16_t keyState(int virtualKey) const = 0;
  // The RGB value of a system colour index, or nothing for an unknown index.
  virtual std::optional<int32_t> systemColor(int index) const = 0;
};

// Every access may fail with RuntimeError 521 (the clipboard cannot be opened).
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's text, or nothing when it holds no text.
  virtual std::optional<Text> text() = 0;
  virtual void setText(TextView text) = 0;
  virtual void clear() = 0;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal message box; returns the button pressed.
  virtual int show(TextView text, int32_t style, TextView title) = 0;
};

// The popup-menu component: clear, add a caption, show; it reports the chosen entry to
// the control (TaviColorText::menuClicked).
class PopupMenu {
 public:
  virtual ~PopupMenu() = default;
  virtual void setVisible(bool visible) = 0;
  virtual void clear() = 0;
  virtual void addItem(TextView caption) = 0;
  virtual void show() = 0;
};

// Window procedures, as the editor window's hook sees them.
using WindowProc = intptr_t (*)(intptr_t hwnd, uint32_t message, intptr_t wParam, intptr_t lParam);

inline constexpr uint32_t kWmVScroll = 0x115;
inline constexpr uint32_t kWmTimer = 0x113;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Installs `proc` as the window's procedure and returns the one it replaces.
  virtual WindowProc setWindowProc(intptr_t hwnd, WindowProc proc) = 0;
  virtual intptr_t callWindowProc(WindowProc proc, intptr_t hwnd, uint32_t message, intptr_t wParam,
                                  intptr_t lParam) = 0;
};

}  // namespace tavi
