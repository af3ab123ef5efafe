// The headless platform: the thread-wide services and the widgets of every control
// created on it. Controls live as long as the platform.
#pragma once

#include <memory>
#include <vector>

#include "headless/control.h"
#include "headless/services.h"

namespace tavi {

class HeadlessPlatform {
 public:
  HeadlessPlatform() = default;
  HeadlessPlatform(const HeadlessPlatform&) = delete;
  HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

  // The widgets of a new control, numbered from 0 in order of creation.
  HeadlessControl& createControl();
  HeadlessControl& control(int number) { return *controls_.at(number); }
  int controlCount() const { return static_cast<int>(controls_.size()); }

  HeadlessScreen& screen() { return services_.screen; }
  HeadlessClipboard& clipboard() { return services_.clipboard; }
  HeadlessMessageBoxes& messageBoxes() { return services_.messages; }
  HeadlessWindowSystem& windows() { return services_.windows; }
  FocusTracker& focus() { return services_.focus; }
  HeadlessPrinterSystem& printers() { return services_.printers; }

 private:
  HeadlessServices services_;  // declared first: outlives the controls
  std::vector<std::unique_ptr<HeadlessControl>> controls_;
};

}  // namespace tavi
