// The person at a browser: every key is the page's key down, then the typed text or the
// clipboard event the browser raises for it, then key up; the mouse is the page's press,
// drag and release. The reports and the outside world are the headless platform's.
#include "tavi-script/web_platform.h"

#include "headless/us_keyboard.h"
#include "surface/editing_keys.h"
#include "tavi-script/headless_world.h"
#include "web/web_control.h"

namespace tavi::script {

namespace {

using web::KeyResult;

// ScriptControl's key, keyDown and keyUp are also the keyboard's that typing goes
// through: a whole key, and the parts a browser delivers (Shift around a character).
class WebScriptControl final : public ScriptControl, private HeadlessControl::Keyboard {
 public:
  explicit WebScriptControl(HeadlessPlatform& platform) : platform_(platform), web_(platform) {}

  TaviColorText& control() override { return web_.control(); }

  void type(TextView text) override { web_.widgets().typeThrough(text, *this); }
  void compose(TextView text) override { web_.composeText(text); }

  void key(int16_t keyCode, int16_t shift) override {
    // The person's keyboard has the US layout.
    const std::optional<char16_t> c =
        headless::charForKey(keyCode, (shift & kShiftMask) != 0, platform_.screen().capsLock());
    switch (web_.keyDown(keyCode, shift, c.has_value())) {
      case KeyResult::kType:
        // The browser's text input: the character the key types on the layout.
        web_.typeText(TextView(&*c, 1));
        break;
      case KeyResult::kClipboard:
        clipboardEvent(surfaceKeyOf(keyCode, shift).command);
        break;
      case KeyResult::kPrevent:
        break;
    }
    web_.keyUp(keyCode, shift);
  }
  // The page has no key notification without the key: the surface acts on it as well.
  void keyDown(int16_t keyCode, int16_t shift) override {
    web_.keyDown(keyCode, shift, headless::charForKey(keyCode, false, false).has_value());
  }
  void keyUp(int16_t keyCode, int16_t shift) override { web_.keyUp(keyCode, shift); }

  void select(int32_t start, int32_t length) override {
    // Pressed at the pixel of the start, dragged to the end, released there.
    HeadlessEditSurface& surface = web_.widgets().surface();
    const int16_t shift = platform_.screen().heldModifiers();
    const PixelPoint from = surface.pixelOf(std::max(0, start));
    web_.mouseDown(kLeftButton, shift, from.x, from.y);
    const PixelPoint to = surface.pixelOf(static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{start} + length, 0, surface.textLength())));
    web_.mouseDrag(to.x, to.y);
    web_.mouseUp(kLeftButton, shift, to.x, to.y);
  }
  void click(double x, double y) override { press(kLeftButton, x, y); }
  void rightClick(double x, double y) override { press(kRightButton, x, y); }
  void mouseDown(int16_t button, int16_t shift, double x, double y) override {
    web_.mouseDown(button, shift, x, y);
  }
  void mouseUp(int16_t button, int16_t shift, double x, double y) override {
    web_.mouseUp(button, shift, x, y);
  }
  void menu(int16_t entry) override { web_.menuChoose(entry); }
  void focus(ScriptFocus place) override { web_.focus(headlessPlace(place)); }
  void scroll(int32_t line) override { web_.scroll(line); }
  void tick() override { web_.tick(); }
  void resize(double width, double height) override {
    web_.resize(width / headless::kTwipsPerPixel, height / headless::kTwipsPerPixel);
  }
  void paint() override { web_.paint(); }

  WidgetReport widgets() override { return widgetReport(web_.widgets(), platform_.screen()); }
  std::vector<FormatRun> formats() override { return web_.widgets().surface().formats(); }
  std::optional<GutterReport> gutter() override { return gutterReport(web_.widgets().gutter()); }
  MenuReport menuItems() override { return menuReport(web_.widgets().menu()); }

 private:
  void characterKey(int16_t keyCode, int16_t shift, TextView chars) override {
    if (web_.keyDown(keyCode, shift, true) == KeyResult::kType) web_.typeText(chars);
    web_.keyUp(keyCode, shift);
  }

  // The browser's clipboard event after a clipboard key; the system clipboard is the
  // platform's.
  void clipboardEvent(SurfaceCommand command) {
    if (command == SurfaceCommand::Cut)
      web_.clipboardCut();
    else if (command == SurfaceCommand::Copy)
      web_.clipboardCopy();
    else
      web_.clipboardPaste(web_.clipboardText());
  }

  void press(int16_t button, double x, double y) {
    const int16_t shift = platform_.screen().heldModifiers();
    web_.mouseDown(button, shift, x, y);
    web_.mouseUp(button, shift, x, y);
  }

  HeadlessPlatform& platform_;
  web::WebControl web_;
};

class WebScriptPlatform final : public HeadlessWorld {
 public:
  ScriptControl& createControl() override {
    controls_.push_back(std::make_unique<WebScriptControl>(platform_));
    return *controls_.back();
  }

 private:
  std::vector<std::unique_ptr<WebScriptControl>> controls_;
};

}  // namespace

std::unique_ptr<ScriptPlatform> makeWebPlatform() { return std::make_unique<WebScriptPlatform>(); }

}  // namespace tavi::script
