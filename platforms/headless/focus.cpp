#include "headless/focus.h"

namespace tavi {

void FocusTracker::moveTo(Focusable* target) {
  if (target == owner_) return;
  Focusable* previous = owner_;
  const bool previousKnew = announced_;
  owner_ = target;
  announced_ = false;
  if (previous != nullptr && previousKnew) previous->focusLost();
  if (target != nullptr && owner_ == target && !announced_) {
    announced_ = true;
    target->focusGained();
  }
}

}  // namespace tavi
