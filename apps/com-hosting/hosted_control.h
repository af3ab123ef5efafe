// TaviColorText created from its ProgID (so its DLL must be registered) and sited in place
// in a window of this process, with the host's event sink advised on it.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <ocidl.h>
#include <oleidl.h>

#include <string>

#include "event_sink.h"
#include "site.h"

namespace tavi::host {

class HostedControl {
 public:
  HostedControl() = default;
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // How far open() activates the control: in place only, or also UI-active with the
  // keyboard focus (as a container does for the control a person works in).
  enum class Activation { kInPlace, kUiActive };
  // Creates the control, sites it in `frame`, advises the sink, activates it in place over
  // the frame's client area and, unless told otherwise, UI-activates it. False, with
  // `error` saying which call failed and how, when a step fails.
  bool open(HWND frame, std::string& error, Activation activation = Activation::kUiActive);
  // Sets the message texts and switches a host sets before the user works: the messages,
  // keyword colouring on, loading done.
  bool configure(std::string& error);
  // Unadvises, deactivates, closes and releases, in that order. Every step runs; false
  // with `error` naming the failed ones.
  bool close(std::string& error);
  bool isOpen() const { return object_ != nullptr; }

  // Sizes the control to `bounds` of the frame's client area (IOleInPlaceObject).
  void resize(const RECT& bounds);

  IDispatch* automation() const { return dispatch_; }
  const EventSink& events() const { return *sink_; }
  EventSink& events() { return *sink_; }
  // The UI-active object, for the message loop; null when none.
  IOleInPlaceActiveObject* activeObject() const;
  // The control's own window, as its in-place object reports it.
  HWND window() const { return window_; }
  // The window of the control with the control id `id` (among the frame's descendants,
  // then among this thread's other windows), or null.
  HWND child(int id) const;

 private:
  HWND frame_ = nullptr;
  Site* site_ = nullptr;
  EventSink* sink_ = new EventSink;
  IOleObject* object_ = nullptr;
  IDispatch* dispatch_ = nullptr;
  IOleInPlaceObject* inPlace_ = nullptr;
  IConnectionPoint* events_ = nullptr;
  DWORD cookie_ = 0;
  HWND window_ = nullptr;
};

}  // namespace tavi::host
