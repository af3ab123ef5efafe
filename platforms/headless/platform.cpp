#include "headless/platform.h"

namespace tavi {

HeadlessControl& HeadlessPlatform::createControl() {
  const int number = controlCount();
  controls_.push_back(std::make_unique<HeadlessControl>(number, services_));
  return *controls_.back();
}

}  // namespace tavi
