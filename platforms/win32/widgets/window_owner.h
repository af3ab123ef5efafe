// The object that owns a control's windows (the COM object), and answers for the host it is
// sited in. While the control raises an event, a sink may release the owner's last
// reference; so each window message that reaches the control holds the owner from its start
// to its end, and the owner (with the windows) goes only when the message has been handled.
#pragma once

namespace tavi::win32 {

class WindowOwner {
 public:
  virtual void holdOwner() = 0;
  virtual void releaseOwner() = 0;
  // ControlSite::allowsScriptedPaste, as the owner's host decides it.
  virtual bool hostAllowsScriptedPaste() const = 0;

 protected:
  ~WindowOwner() = default;
};

// Holds `owner` (none: nothing) for the scope. Nothing of the windows may be used after
// the scope ends: the release may have destroyed them.
class OwnerHeld {
 public:
  explicit OwnerHeld(WindowOwner* owner) : owner_(owner) {
    if (owner_ != nullptr) owner_->holdOwner();
  }
  ~OwnerHeld() {
    if (owner_ != nullptr) owner_->releaseOwner();
  }
  OwnerHeld(const OwnerHeld&) = delete;
  OwnerHeld& operator=(const OwnerHeld&) = delete;

 private:
  WindowOwner* owner_;
};

}  // namespace tavi::win32
