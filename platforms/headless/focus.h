// The keyboard focus of one platform: at most one widget holds it; nobody holding it is
// "away" (the focus is somewhere in the host).
#pragma once

namespace tavi {

// A widget that can hold the focus and hears when it gains or loses it.
class Focusable {
 public:
  virtual ~Focusable() = default;

 protected:
  friend class FocusTracker;
  virtual void focusGained() {}
  virtual void focusLost() {}
};

class FocusTracker {
 public:
  Focusable* owner() const { return owner_; }
  // Moves the focus to `target` (nullptr: away). The new owner is in place before the old
  // one hears of its loss, so a handler of the loss may move the focus on again (or back).
  // Gains and losses come in pairs: a widget hears of its gain only if it still holds the
  // focus then, and of a loss only after it heard of the gain.
  void moveTo(Focusable* target);

 private:
  Focusable* owner_ = nullptr;
  bool announced_ = false;  // the owner has heard of its gain
};

}  // namespace tavi
