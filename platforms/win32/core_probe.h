// The control's private probe interface, for test hosts (tavi-script.exe): what a host
// cannot read from the control's windows or its public interface, handed out as JSON. Its
// IID is our own and it is not in the type library: no script or container sees it.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oaidl.h>

namespace tavi::win32 {

// {6C0F5B0E-2B1D-4F5A-9C57-3E8D1A7B4C21}
inline constexpr GUID kProbeIid = {
    0x6C0F5B0E, 0x2B1D, 0x4F5A, {0x9C, 0x57, 0x3E, 0x8D, 0x1A, 0x7B, 0x4C, 0x21}};

class ITaviProbe : public IUnknown {
 public:
  // {"undo", "redo", "trackChanges", "flags"}: the core's own state (core_state.h).
  virtual HRESULT STDMETHODCALLTYPE CoreState(BSTR* json) = 0;
  // The widgets' state beside the editor's text, selection and view: {"hideSelection",
  // "locked", "maxLength", "mousePointer", "screenPointer", "focus", "list", "hint"}, with
  // the fields of tavi-script's state; and "gutterPainted", whether the control has
  // painted its gutter yet.
  virtual HRESULT STDMETHODCALLTYPE WidgetState(BSTR* json) = 0;
  // The control's Terminate: what it does when its host lets it go.
  virtual HRESULT STDMETHODCALLTYPE Terminate() = 0;
  // From the first call on, the thread's message boxes are answered OK at once and
  // recorded; each call hands out those recorded since the last one, as
  // [{"text", "title", "style"}, ...].
  virtual HRESULT STDMETHODCALLTYPE DrainMessageBoxes(BSTR* json) = 0;

  // From the first of the three printer calls on, the thread's printer system stands for a
  // list the host installs, its print dialogs are answered by script (confirmed at once
  // with the pre-selected printer unless scripted otherwise) and its output is recorded with
  // the headless printer's page and text measures (printer_script.h).
  // {"printers": [{"name", "driver", "port"}, ...], "current": N}; E_INVALIDARG for a
  // current index outside a non-empty list.
  virtual HRESULT STDMETHODCALLTYPE InstallPrinters(BSTR json) = 0;
  // The next dialog's answer: "cancel", or {"printer", "copies", "orientation", "duplex",
  // "paperSize", "printQuality"}, each optional.
  virtual HRESULT STDMETHODCALLTYPE ScriptPrintDialog(BSTR json) = 0;
  // {"documents": [...], "dialog": {...} or null}: the documents printed since the last call
  // and the records given to the last dialog (printer_script.h).
  virtual HRESULT STDMETHODCALLTYPE Printout(BSTR* json) = 0;
  // From this call on the control's popup menu is answered by MenuChoice instead of its
  // modal loop.
  virtual HRESULT STDMETHODCALLTYPE ScriptPopupMenu() = 0;
  // {"items": [captions], "shown": N}: the popup menu's captions, read from its menu, and
  // how often it was shown.
  virtual HRESULT STDMETHODCALLTYPE MenuItems(BSTR* json) = 0;
  // The person chooses entry `entry` (1-based) of the shown menu: posted to the control as
  // the menu posts a choice.
  virtual HRESULT STDMETHODCALLTYPE MenuChoice(short entry) = 0;
};

}  // namespace tavi::win32
