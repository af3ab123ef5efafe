// TaviColorText as a COM object and ActiveX control. Its interfaces, by file:
// - com_control.cpp: identity (QueryInterface), IDispatch through the core's dispatch
//   table, IProvideClassInfo2, IConnectionPointContainer, IObjectSafety, the events;
// - dual_interface.cpp: the vtable of _TaviColorText and ISupportErrorInfo;
// - ole_control.cpp: IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl,
//   IViewObject2 and in-place activation in a container's window;
// - persistence.cpp: IPersistStreamInit (also answering IPersistStream) and
//   IPersistPropertyBag.
// The control's widgets are the Windows widget set's ControlWindow; until a container
// activates it in place, the window stays hidden, and scripts use the control without one.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "TaviColorTxt_h.h"
#include "shell/control.h"
#include "win32/connection_point.h"
#include "win32/core_probe.h"
#include "win32/widgets/control_window.h"

namespace tavi::win32 {

class ComControl final : public _TaviColorText,
                         public IProvideClassInfo2,
                         public IConnectionPointContainer,
                         public IObjectSafety,
                         public ISupportErrorInfo,
                         public IOleObject,
                         public IOleInPlaceObject,
                         public IOleInPlaceActiveObject,
                         public IOleControl,
                         public IViewObject2,
                         public IPersistStreamInit,
                         public IPersistPropertyBag,
                         public ITaviProbe,
                         private EventSink,
                         private WindowOwner {
 public:
  // Holds a reference to the control for a call that may raise events: a sink may release
  // its client's last reference while it handles one, and the control goes only when the
  // call that raised the event returns. Every entry that reaches the core holds one (the
  // dispatch and vtable calls here, the window messages through WindowOwner).
  class KeepAlive {
   public:
    explicit KeepAlive(ComControl& control) : control_(control) { control_.AddRef(); }
    ~KeepAlive() { control_.Release(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

   private:
    ComControl& control_;
  };

  ComControl();
  ~ComControl();
  ComControl(const ComControl&) = delete;
  ComControl& operator=(const ComControl&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override;

  // _TaviColorText: each member forwards to the dispatch table's member of the same DISPID.
  HRESULT STDMETHODCALLTYPE get_CtlKey(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_CtlKey(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_bKeywordHighlight(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_m_bKeywordHighlight(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_bChange(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_m_bChange(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_bFind(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_bFind(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_MaxLen(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_m_MaxLen(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_m_FindText(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_FindText(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_bLock(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_m_bLock(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_bFirstTime(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_m_bFirstTime(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_bSelect(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_m_bSelect(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_m_strLang(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strLang(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strScriptEditor(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strScriptEditor(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strMaximumSize(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strMaximumSize(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strPrintErr(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strPrintErr(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strFinishSearch(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strFinishSearch(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strNotFoundText(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strNotFoundText(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_m_strPopUpMenu(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_m_strPopUpMenu(BSTR value) override;
  HRESULT STDMETHODCALLTYPE put_Load_flag(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_Load_flag(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE get_Text(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_Text(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_KeywordHighlight_flag(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_KeywordHighlight_flag(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_Length(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_Length(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE HighlightLine(LONG* line, LONG* startPos, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE change(BSTR oldstr, BSTR newstr, LONG* start, LONG* changeNum,
                                   BSTR* result) override;
  HRESULT STDMETHODCALLTYPE Undo(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Cut(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Copy(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Paste(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Delete(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE SelectAll(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE FindSE(VARIANT* AsFindText, VARIANT_BOOL* bMatchCase, VARIANT_BOOL* bUp,
                                   VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE FindSE_New(VARIANT* AsFindText, VARIANT_BOOL* bMatchCase,
                                       VARIANT_BOOL* bUp, BSTR* result) override;
  HRESULT STDMETHODCALLTYPE ReplaceSE(VARIANT* AsFindText, VARIANT* AsReplaceText,
                                      VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE ReplaceAll(VARIANT* AsFindText, VARIANT* AsReplaceText,
                                       VARIANT_BOOL* bMatchCase, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE SetHourGlassCursor(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE SetArrowCursor(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE DisableControl(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Redo(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE PrinterSE(short* PrintFlags) override;
  HRESULT STDMETHODCALLTYPE CheckHighLightText() override;
  // windows.h makes this MessageBoxW, here and in the generated interface alike.
  HRESULT STDMETHODCALLTYPE MessageBox(BSTR Msg, LONG buttons, BSTR title) override;
  // Opt-in extensions.
  HRESULT STDMETHODCALLTYPE get_ColourOnLoad(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ColourOnLoad(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE ColourAll(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE get_StrictLock(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_StrictLock(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE Unlock(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE SetKeywordHint(BSTR keyword, BSTR hint) override;
  HRESULT STDMETHODCALLTYPE get_HideEmptyHint(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_HideEmptyHint(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_ListKeepsKeys(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ListKeepsKeys(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_UndoByWords(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_UndoByWords(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_ShiftTabOutdent(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ShiftTabOutdent(VARIANT_BOOL value) override;

  // ISupportErrorInfo: the vtable members of _TaviColorText set the error object.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer: one point, for __TaviColorText.
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID riid, DWORD* supported,
                                                      DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID riid, DWORD mask,
                                                      DWORD enabled) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
                                   HWND parent, LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* userType) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

  // IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frameWindow) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                 BOOL(STDMETHODCALLTYPE* keepOn)(ULONG_PTR),
                                 ULONG_PTR keepOnArgument) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDevice,
                                        LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag (InitNew serves both).
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // ITaviProbe (core_probe.cpp), for test hosts only.
  HRESULT STDMETHODCALLTYPE CoreState(BSTR* json) override;
  HRESULT STDMETHODCALLTYPE WidgetState(BSTR* json) override;
  HRESULT STDMETHODCALLTYPE Terminate() override;
  HRESULT STDMETHODCALLTYPE DrainMessageBoxes(BSTR* json) override;
  HRESULT STDMETHODCALLTYPE InstallPrinters(BSTR json) override;
  HRESULT STDMETHODCALLTYPE ScriptPrintDialog(BSTR json) override;
  HRESULT STDMETHODCALLTYPE Printout(BSTR* json) override;
  HRESULT STDMETHODCALLTYPE ScriptPopupMenu() override;
  HRESULT STDMETHODCALLTYPE MenuItems(BSTR* json) override;
  HRESULT STDMETHODCALLTYPE MenuChoice(short entry) override;

 private:
  // EventSink: the core's events, raised on the connection point unless frozen.
  void onChange() override;
  void onEvent(int16_t& id) override;
  // WindowOwner: the control's windows hold it while they handle a message.
  void holdOwner() override { AddRef(); }
  void releaseOwner() override { Release(); }
  bool hostAllowsScriptedPaste() const override;

  ITypeInfo* typeInfoOf(REFGUID guid);

  // In-place activation in the client site's window (ole_control.cpp); with `uiActivate`
  // also UI activation and the keyboard focus in the editor.
  HRESULT activateInPlace(bool uiActivate);
  // The control's size in HIMETRIC; the hidden window follows it while not in place.
  void applyExtent(SIZEL extent);
  void releaseSiteObjects();
  // A subclass of the control's window that UI-activates it when clicked.
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  void subclassWindow(bool on);

  LONG refs_ = 1;
  std::unique_ptr<ControlWindow> window_;
  std::unique_ptr<TaviColorText> control_;
  EventConnectionPoint events_;
  int frozenEvents_ = 0;

  SIZEL extent_{};
  IOleClientSite* clientSite_ = nullptr;
  IOleAdviseHolder* oleAdvise_ = nullptr;
  IAdviseSink* viewSink_ = nullptr;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  IOleInPlaceSite* inPlaceSite_ = nullptr;
  IOleInPlaceFrame* frame_ = nullptr;
  IOleInPlaceUIWindow* document_ = nullptr;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
};

}  // namespace tavi::win32
