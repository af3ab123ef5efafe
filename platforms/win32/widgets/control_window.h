// One control's widgets on Windows, and the notifications they raise. The control's own
// window holds the frame, the gutter and the RichEdit 1.0 editor; the hint (a second
// RichEdit) and the keyword list float over the editor. A control that no container has
// sited keeps its window inside a hidden top-level window of its own, so that a script can
// load, edit, search and read text without a screen.
#pragma once

#include <windows.h>

#include <memory>

#include "shell/widgets/widgets.h"
#include "win32/widgets/window_owner.h"

namespace tavi {
class TaviColorText;
}

namespace tavi::win32 {

// Control identifiers of the child windows, for containers and tests that look inside.
inline constexpr int kFrameId = 100;
inline constexpr int kGutterId = 101;
inline constexpr int kEditorId = 102;
inline constexpr int kHintId = 103;
inline constexpr int kListId = 104;

class ControlWindow {
 public:
  // Creates the control's window, hidden, and every widget in it.
  ControlWindow();
  // Destroys the windows. The control must have been detached (and terminated) first, so
  // that it unhooks the editor while the editor's window still exists.
  ~ControlWindow();
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  // The view the core is given; the pointers stay valid for this object's lifetime.
  Widgets widgets();
  // From now on the windows' notifications (focus, change, key, mouse, gutter paint, timer
  // tick, resize, menu click) go to `control`; null stops them. `owner`, when given, is held
  // while the windows handle each message that reaches the control (window_owner.h).
  void attach(TaviColorText* control, WindowOwner* owner = nullptr);

  // The control's own window (its frame and gutter and editor are children of it).
  HWND hwnd() const;
  // Makes the control's window a child of `parent` (a container's window), or takes it
  // back into the hidden window when `parent` is null.
  void setParent(HWND parent);
  // Position and size in the parent's client area, in pixels; a change of size reaches the
  // control as its resize notification.
  void setBounds(const RECT& bounds);
  void setVisible(bool visible);
  // Draws a picture of the control into `dc` within `bounds` (a container's or a
  // printer's device context), for a control that is not active in place.
  void draw(HDC dc, const RECT& bounds);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tavi::win32
