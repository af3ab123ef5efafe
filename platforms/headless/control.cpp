#include "headless/control.h"

#include <algorithm>

#include "shell/keys.h"

#include "headless/us_keyboard.h"

namespace tavi {

using namespace headless;

namespace {

constexpr intptr_t kSbThumbPosition = 4;

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

}  // namespace

std::string_view focusPlaceName(FocusPlace place) {
  switch (place) {
    case FocusPlace::kSurface:
      return "surface";
    case FocusPlace::kList:
      return "list";
    case FocusPlace::kAway:
      break;
  }
  return "away";
}

std::optional<FocusPlace> parseFocusPlace(std::string_view name) {
  if (name == "surface") return FocusPlace::kSurface;
  if (name == "list") return FocusPlace::kList;
  if (name == "away") return FocusPlace::kAway;
  return std::nullopt;
}

HeadlessControl::HeadlessControl(int number, HeadlessServices& services)
    : number_(number),
      services_(services),
      surface_(services.focus, services.windows, services.clipboard),
      list_(services.focus) {}

Widgets HeadlessControl::widgets() {
  Widgets w;
  w.editor = &surface_;
  w.hint = &hint_;
  w.list = &list_;
  w.gutter = &gutter_;
  w.frame = &frame_;
  w.menu = &menu_;
  w.site = &site_;
  w.screen = &services_.screen;
  w.clipboard = &services_.clipboard;
  w.messages = &services_.messages;
  w.windows = &services_.windows;
  w.printers = &services_.printers;
  return w;
}

void HeadlessControl::takeKeyboardFocus() {
  if (!surface_.hasFocus() && !list_.hasFocus()) surface_.setFocus();
}

std::vector<int> HeadlessControl::holdModifiers(int16_t shift) {
  std::vector<int> pressed;
  const std::pair<int16_t, int> modifiers[] = {
      {kShiftMask, vk::kShift}, {kCtrlMask, vk::kControl}, {kAltMask, vk::kMenu}};
  for (const auto& [mask, virtualKey] : modifiers) {
    if ((shift & mask) != 0 && !services_.screen.isKeyDown(virtualKey)) {
      services_.screen.pressKey(virtualKey);
      pressed.push_back(virtualKey);
    }
  }
  return pressed;
}

void HeadlessControl::releaseKeys(const std::vector<int>& keys) {
  for (int virtualKey : keys) services_.screen.releaseKey(virtualKey);
}

bool HeadlessControl::pressKey(int16_t keyCode) {
  HeadlessScreen& screen = services_.screen;
  const bool wasDown = screen.isKeyDown(keyCode);
  if (keyCode == vk::kCapital && !wasDown) screen.setCapsLock(!screen.capsLock());
  screen.pressKey(keyCode);
  return wasDown;
}

bool HeadlessControl::keyDownBeforeAction(int16_t keyCode, int16_t shift) {
  // The key's action belongs to whoever holds the focus after KeyDown.
  return surface_.hasFocus() && surface_.raiseKeyDown(keyCode, shift) && surface_.hasFocus();
}

void HeadlessControl::endStroke(int16_t keyCode, int16_t shift, bool wasDown) {
  if (!wasDown) services_.screen.releaseKey(keyCode);
  if (surface_.hasFocus()) surface_.raiseKeyUp(keyCode, shift);
}

template <typename Action>
void HeadlessControl::stroke(int16_t keyCode, int16_t shift, Action action) {
  const bool wasDown = pressKey(keyCode);
  if (keyDownBeforeAction(keyCode, shift)) action();
  endStroke(keyCode, shift, wasDown);
}

void HeadlessControl::listKeyAction(int16_t keyCode, int16_t shift) {
  // Enter and Escape give the focus back to the editor; the list stays shown.
  if (list_.keyAction(keyCode, shift, HeadlessListBox::kRowsPerPage)) surface_.setFocus();
}

void HeadlessControl::surfaceKeyAction(int16_t keyCode, int16_t shift) {
  surface_.keyAction(keyCode, shift, services_.screen.capsLock());
}

void HeadlessControl::listKey(int16_t keyCode, int16_t shift) {
  const bool wasDown = pressKey(keyCode);
  listKeyAction(keyCode, shift);
  if (!wasDown) services_.screen.releaseKey(keyCode);
}

void HeadlessControl::key(int16_t keyCode, int16_t shift) {
  takeKeyboardFocus();
  const std::vector<int> held = holdModifiers(shift);
  if (list_.hasFocus()) {
    listKey(keyCode, shift);
  } else {
    stroke(keyCode, shift, [&] { surfaceKeyAction(keyCode, shift); });
  }
  releaseKeys(held);
}

void HeadlessControl::keyDown(int16_t keyCode, int16_t shift) {
  takeKeyboardFocus();
  deliverKeyDown(keyCode, shift);
}

void HeadlessControl::keyUp(int16_t keyCode, int16_t shift) {
  takeKeyboardFocus();
  deliverKeyUp(keyCode, shift);
}

void HeadlessControl::deliverKeyDown(int16_t keyCode, int16_t shift) {
  pressKey(keyCode);
  if (surface_.hasFocus()) surface_.raiseKeyDown(keyCode, shift);
}

void HeadlessControl::deliverKeyUp(int16_t keyCode, int16_t shift) {
  endStroke(keyCode, shift, false);
}

// This control's own whole strokes.
class HeadlessControl::OwnKeyboard final : public HeadlessControl::Keyboard {
 public:
  explicit OwnKeyboard(HeadlessControl& control) : c_(control) {}
  void key(int16_t keyCode, int16_t shift) override { c_.key(keyCode, shift); }
  void keyDown(int16_t keyCode, int16_t shift) override { c_.deliverKeyDown(keyCode, shift); }
  void keyUp(int16_t keyCode, int16_t shift) override { c_.deliverKeyUp(keyCode, shift); }
  void characterKey(int16_t keyCode, int16_t shift, TextView chars) override {
    if (c_.list_.hasFocus()) {
      if (keyCode != vk::kPacket) c_.listKey(keyCode, shift);
      return;
    }
    c_.stroke(keyCode, shift, [&] { c_.surface_.typeInput(chars); });
  }

 private:
  HeadlessControl& c_;
};

void HeadlessControl::type(TextView text) {
  OwnKeyboard keyboard(*this);
  typeThrough(text, keyboard);
}

void HeadlessControl::typeThrough(TextView text, Keyboard& keyboard) {
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    if (i + 1 < text.size() && ((text[i] == kCR && text[i + 1] == kLF) ||
                                (isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]))))
      n = 2;
    typeCharacter(text.substr(i, n), keyboard);
    i += n;
  }
}

void HeadlessControl::typeCharacter(TextView chars, Keyboard& keyboard) {
  HeadlessScreen& screen = services_.screen;
  const char16_t c = chars[0];
  if (c == kCR || c == kLF) return keyboard.key(vk::kReturn, screen.heldModifiers());
  if (c == kTab) return keyboard.key(vk::kTab, screen.heldModifiers());
  takeKeyboardFocus();
  const std::optional<KeyStroke> keyStroke =
      chars.size() == 1 ? keyForChar(c) : std::optional<KeyStroke>();
  if (!keyStroke) return keyboard.characterKey(vk::kPacket, screen.heldModifiers(), chars);
  // With Caps Lock on, a letter needs Shift to come out in lower case.
  const bool needsShift =
      isAsciiLetter(c) ? keyStroke->shift != screen.capsLock() : keyStroke->shift;
  const bool pressShift = needsShift && !screen.isKeyDown(vk::kShift);
  if (pressShift)
    keyboard.keyDown(vk::kShift, static_cast<int16_t>(screen.heldModifiers() | kShiftMask));
  keyboard.characterKey(keyStroke->virtualKey, screen.heldModifiers(), chars);
  if (pressShift)
    keyboard.keyUp(vk::kShift, static_cast<int16_t>(screen.heldModifiers() & ~kShiftMask));
}

void HeadlessControl::compose(TextView text) {
  if (focusPlace() == FocusPlace::kAway) focus(FocusPlace::kSurface);
  if (focusPlace() == FocusPlace::kSurface) surface_.composeInput(text);
}

void HeadlessControl::mouseDown(int16_t button, int16_t shift, double x, double y) {
  surface_.setFocus();
  if (button == kLeftButton) surface_.pressAt(x, y, (shift & kShiftMask) != 0);
  surface_.raiseMouseDown(button, shift, x, y);
}

void HeadlessControl::mouseUp(int16_t button, int16_t shift, double x, double y) {
  surface_.raiseMouseUp(button, shift, x, y);
}

void HeadlessControl::click(double x, double y) {
  const int16_t shift = services_.screen.heldModifiers();
  mouseDown(kLeftButton, shift, x, y);
  mouseUp(kLeftButton, shift, x, y);
}

void HeadlessControl::rightClick(double x, double y) {
  const int16_t shift = services_.screen.heldModifiers();
  mouseDown(kRightButton, shift, x, y);
  mouseUp(kRightButton, shift, x, y);
}

void HeadlessControl::select(int32_t start, int32_t length) {
  // The mouse reaches no position between the CR and the LF of a line break: such an end
  // of the selection lies before the CR.
  const Text text = surface_.text();
  const int32_t size = static_cast<int32_t>(text.size());
  const auto reachable = [&](int64_t offset) {
    const int32_t at = static_cast<int32_t>(std::clamp<int64_t>(offset, 0, size));
    return at > 0 && at < size && text[at - 1] == kCR && text[at] == kLF ? at - 1 : at;
  };
  const int32_t from = reachable(start);
  const int32_t to = std::max(from, reachable(int64_t{start} + length));
  const int16_t shift = services_.screen.heldModifiers();
  surface_.setFocus();
  surface_.setSelStart(from);
  const PixelPoint down = surface_.caretPosition();
  surface_.raiseMouseDown(kLeftButton, shift, down.x, down.y);
  surface_.setSelLength(to - from);
  const PixelPoint up = surface_.pixelOf(surface_.selStart() + surface_.selLength());
  surface_.raiseMouseUp(kLeftButton, shift, up.x, up.y);
}

void HeadlessControl::clickListItem(int32_t index) {
  services_.focus.moveTo(&list_);
  if (index >= 0 && index < list_.listCount()) list_.setListIndex(index);
  surface_.setFocus();
}

void HeadlessControl::focus(FocusPlace place) {
  switch (place) {
    case FocusPlace::kSurface:
      services_.focus.moveTo(&surface_);
      break;
    case FocusPlace::kList:
      services_.focus.moveTo(&list_);
      break;
    case FocusPlace::kAway:
      services_.focus.moveTo(nullptr);
      break;
  }
}

FocusPlace HeadlessControl::focusPlace() const {
  if (surface_.hasFocus()) return FocusPlace::kSurface;
  if (list_.hasFocus()) return FocusPlace::kList;
  return FocusPlace::kAway;
}

void HeadlessControl::scroll(int32_t line) {
  surface_.scrollTo(line);
  const intptr_t position = surface_.firstVisibleLine();
  services_.windows.sendMessage(surface_.windowHandle(), kWmVScroll,
                                (position << 16) | kSbThumbPosition, 0);
}

}  // namespace tavi
