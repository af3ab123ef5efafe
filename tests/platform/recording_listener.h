// A surface listener that writes down every notification, in order, as short strings
// ("KeyDown 65 1", "Change", "GotFocus"), and lets a test react to some of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/widgets/edit_surface.h"

namespace tavi::testing {

class RecordingListener : public SurfaceListener {
 public:
  std::vector<std::string> events;
  std::function<void(int16_t& keyCode, int16_t& shift)> onKeyDown;
  std::function<void()> onLostFocus;
  std::function<void()> onChange;

  void surfaceGotFocus() override { events.push_back("GotFocus"); }
  void surfaceLostFocus() override {
    events.push_back("LostFocus");
    if (onLostFocus) onLostFocus();
  }
  void surfaceChanged() override {
    events.push_back("Change");
    if (onChange) onChange();
  }
  void surfaceKeyDown(int16_t& keyCode, int16_t& shift) override {
    events.push_back("KeyDown " + std::to_string(keyCode) + " " + std::to_string(shift));
    if (onKeyDown) onKeyDown(keyCode, shift);
  }
  void surfaceKeyUp(int16_t& keyCode, int16_t& shift) override {
    events.push_back("KeyUp " + std::to_string(keyCode) + " " + std::to_string(shift));
  }
  void surfaceMouseDown(int16_t button, int16_t shift, float x, float y) override {
    events.push_back(mouse("MouseDown", button, shift, x, y));
  }
  void surfaceMouseUp(int16_t button, int16_t shift, float x, float y) override {
    events.push_back(mouse("MouseUp", button, shift, x, y));
  }

  int count(const std::string& event) const {
    int n = 0;
    for (const std::string& e : events) n += e == event ? 1 : 0;
    return n;
  }

 private:
  static std::string mouse(const char* what, int16_t button, int16_t shift, float x, float y) {
    return std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
           std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y));
  }
};

}  // namespace tavi::testing
