// One control's widgets on the headless platform, and the person at its keyboard and
// mouse: every input goes through the notifications in the order real widgets raise
// them (KeyDown, the surface's action with its change notification, KeyUp).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "headless/control_site.h"
#include "headless/edit_surface.h"
#include "headless/frame_box.h"
#include "headless/gutter_canvas.h"
#include "headless/hint_box.h"
#include "headless/list_box.h"
#include "headless/popup_menu.h"
#include "headless/services.h"
#include "shell/widgets/widgets.h"

namespace tavi {

// Where the focus is, seen from one control.
enum class FocusPlace { kSurface, kList, kAway };

std::string_view focusPlaceName(FocusPlace place);  // "surface", "list", "away"
std::optional<FocusPlace> parseFocusPlace(std::string_view name);

class HeadlessControl {
 public:
  HeadlessControl(int number, HeadlessServices& services);
  HeadlessControl(const HeadlessControl&) = delete;
  HeadlessControl& operator=(const HeadlessControl&) = delete;

  int number() const { return number_; }
  // The view the core is given; the pointers stay valid for the control's lifetime.
  Widgets widgets();

  HeadlessEditSurface& surface() { return surface_; }
  HeadlessListBox& list() { return list_; }
  HeadlessHintBox& hint() { return hint_; }
  HeadlessGutterCanvas& gutter() { return gutter_; }
  HeadlessFrameBox& frame() { return frame_; }
  HeadlessPopupMenu& menu() { return menu_; }
  HeadlessControlSite& site() { return site_; }

  // The keyboard. Input given while the focus is outside this control first puts the
  // focus on its surface, as a person clicks into the editor before typing. While the
  // keyword list has the focus, keys go to the list: Up, Down, Page Up, Page Down, Home
  // and End move its selection, Enter gives the focus back to the surface.

  // Types text key by key on a US keyboard; Shift is pressed as a key of its own around
  // a character that needs it (and that Caps Lock does not give). "\n" (or "\r\n") is
  // Enter, "\t" Tab; a character without a key is typed as injected Unicode (VK 231).
  void type(TextView text);
  // One key with the modifiers `shift` held (1 Shift, 2 Ctrl, 4 Alt).
  void key(int16_t keyCode, int16_t shift);
  // Only the notification (and the key state); no action of the surface.
  void keyDown(int16_t keyCode, int16_t shift);
  void keyUp(int16_t keyCode, int16_t shift);

  // The mouse, in pixels of the surface; notifications report twips. A press in the
  // surface gives it the focus, and a left press places the caret (Shift extends).
  void mouseDown(int16_t button, int16_t shift, double x, double y);
  void mouseUp(int16_t button, int16_t shift, double x, double y);
  void click(double x, double y);
  void rightClick(double x, double y);
  // Selecting with the mouse: press at the pixel of `start` (the caret goes there), the
  // selection is set, release at the pixel of its end.
  void select(int32_t start, int32_t length);
  // A click on an item of the keyword list: it takes the focus, selects the item (when
  // there is one at `index`) and gives the focus back to the surface.
  void clickListItem(int32_t index);

  // An input method commits `text`: into the surface (which takes the focus when it is
  // outside the control) like a paste, with no key notifications; nothing while the list
  // has the focus.
  void compose(TextView text);

  void focus(FocusPlace place);
  FocusPlace focusPlace() const;

  // Dragging the scroll bar: `line` (clamped) becomes the first visible line and the
  // surface's window receives WM_VSCROLL through its procedure chain.
  void scroll(int32_t line);

  // How typed text reaches the control key by key: this control's own whole strokes, or
  // a platform that gets a key's parts as separate events (the browser's).
  class Keyboard {
   public:
    virtual ~Keyboard() = default;
    // A whole key that types nothing (Enter, Tab).
    virtual void key(int16_t keyCode, int16_t shift) = 0;
    // Only a notification: Shift around a character that needs it.
    virtual void keyDown(int16_t keyCode, int16_t shift) = 0;
    virtual void keyUp(int16_t keyCode, int16_t shift) = 0;
    // A key that types `chars` (vk::kPacket for a character without a key).
    virtual void characterKey(int16_t keyCode, int16_t shift, TextView chars) = 0;
  };
  // Types text as type() does, through `keyboard`.
  void typeThrough(TextView text, Keyboard& keyboard);

  // The pieces of a key stroke, for a platform whose keys arrive in parts.
  void takeKeyboardFocus();
  // Presses the modifier keys of `shift` that are not held yet; returns them.
  std::vector<int> holdModifiers(int16_t shift);
  void releaseKeys(const std::vector<int>& keys);
  // Puts a key down in the key state (Caps Lock toggles as it goes down); returns whether
  // it was down already.
  bool pressKey(int16_t keyCode);
  // KeyDown to the surface if it has the focus; whether the key's own action follows: the
  // surface had the focus, KeyDown did not swallow the key and the focus stayed.
  bool keyDownBeforeAction(int16_t keyCode, int16_t shift);
  // The key goes up in the key state (unless it was down before the stroke), then KeyUp if
  // the surface has the focus.
  void endStroke(int16_t keyCode, int16_t shift, bool wasDown);
  // A key's action while the keyword list has the focus: Enter and Escape give the focus
  // back to the surface.
  void listKeyAction(int16_t keyCode, int16_t shift);
  // The surface's own action for a key, with the character the US layout types for it.
  void surfaceKeyAction(int16_t keyCode, int16_t shift);

 private:
  class OwnKeyboard;
  // KeyDown, then (unless swallowed) `action` while the surface has the focus, then KeyUp
  // if the surface still has the focus; the key is down in the key state in between.
  template <typename Action>
  void stroke(int16_t keyCode, int16_t shift, Action action);
  void listKey(int16_t keyCode, int16_t shift);
  // One key notification (with the key state) to the surface if it has the focus.
  void deliverKeyDown(int16_t keyCode, int16_t shift);
  void deliverKeyUp(int16_t keyCode, int16_t shift);
  void typeCharacter(TextView chars, Keyboard& keyboard);

  int number_;
  HeadlessServices& services_;
  HeadlessEditSurface surface_;
  HeadlessHintBox hint_;
  HeadlessListBox list_;
  HeadlessGutterCanvas gutter_;
  HeadlessFrameBox frame_;
  HeadlessPopupMenu menu_;
  HeadlessControlSite site_;
};

}  // namespace tavi
