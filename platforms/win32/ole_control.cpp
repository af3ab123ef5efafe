// The ActiveX control interfaces a container uses to site, activate and draw the control:
// IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl and IViewObject2.
// In-place activation moves the control's window into the container's window at the
// site's rectangle; deactivation takes it back into the control's hidden window.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <urlmon.h>

#include "win32/com_control.h"
#include "win32/com_ids.h"

namespace tavi::win32 {

namespace {

constexpr int kHimetricPerInch = 2540;
constexpr UINT_PTR kSubclassId = 1;

template <typename T>
void release(T*& p) {
  if (p != nullptr) p->Release();
  p = nullptr;
}

template <typename T>
void assign(T*& p, T* value) {
  if (value != nullptr) value->AddRef();
  release(p);
  p = value;
}

// Pixels of the screen for a length in HIMETRIC.
RECT pixelsOf(SIZEL extent) {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return {0, 0, MulDiv(extent.cx, dpiX, kHimetricPerInch),
          MulDiv(extent.cy, dpiY, kHimetricPerInch)};
}

BOOL CALLBACK findEditor(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != kEditorId) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

HWND editorOf(HWND control) {
  HWND editor = nullptr;
  EnumChildWindows(control, findEditor, reinterpret_cast<LPARAM>(&editor));
  return editor;
}

}  // namespace

// A click anywhere in the control (the children tell their ancestors through
// WM_PARENTNOTIFY) UI-activates a control that is only active in place, as a container
// expects of a control that takes the keyboard.
LRESULT CALLBACK ComControl::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
  if (message == WM_PARENTNOTIFY) {
    const UINT event = LOWORD(wParam);
    auto* control = reinterpret_cast<ComControl*>(self);
    if ((event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN) &&
        control->inPlaceActive_ && !control->uiActive_)
      control->activateInPlace(true);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void ComControl::subclassWindow(bool on) {
  if (on)
    SetWindowSubclass(window_->hwnd(), windowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  else
    RemoveWindowSubclass(window_->hwnd(), windowProc, kSubclassId);
}

void ComControl::applyExtent(SIZEL extent) {
  extent_ = extent;
  if (!inPlaceActive_) window_->setBounds(pixelsOf(extent));
}

void ComControl::releaseSiteObjects() {
  InPlaceDeactivate();
  release(clientSite_);
  release(oleAdvise_);
  release(viewSink_);
}

// A browser offers its security manager through the client site's services; it decides
// whether its page's scripts may paste, and only an explicit "allow" lets them. A site without
// one (any other container) leaves Paste as it is.
bool ComControl::hostAllowsScriptedPaste() const {
  IServiceProvider* services = nullptr;
  if (clientSite_ == nullptr || FAILED(clientSite_->QueryInterface(
                                    IID_IServiceProvider, reinterpret_cast<void**>(&services))))
    return true;
  IInternetHostSecurityManager* security = nullptr;
  const HRESULT found =
      services->QueryService(SID_SInternetHostSecurityManager, IID_IInternetHostSecurityManager,
                             reinterpret_cast<void**>(&security));
  services->Release();
  if (FAILED(found) || security == nullptr) return true;
  DWORD policy = URLPOLICY_DISALLOW;
  const HRESULT asked =
      security->ProcessUrlAction(URLACTION_SCRIPT_PASTE, reinterpret_cast<BYTE*>(&policy),
                                 sizeof policy, nullptr, 0, PUAF_DEFAULT, 0);
  security->Release();
  return asked == S_OK && GetUrlPolicyPermissions(policy) == URLPOLICY_ALLOW;
}

// ---- In-place activation ----

HRESULT ComControl::activateInPlace(bool uiActivate) {
  if (clientSite_ == nullptr) return E_UNEXPECTED;
  if (!inPlaceActive_) {
    IOleInPlaceSite* site = nullptr;
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site))))
      return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) {
      site->Release();
      return E_FAIL;
    }
    inPlaceSite_ = site;
    inPlaceActive_ = true;
    inPlaceSite_->OnInPlaceActivate();
  }
  HWND parent = nullptr;
  RECT position{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  if (FAILED(inPlaceSite_->GetWindow(&parent)) || parent == nullptr ||
      FAILED(inPlaceSite_->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
    InPlaceDeactivate();
    return E_FAIL;
  }
  release(frame_);
  release(document_);
  frame_ = frame;
  document_ = document;
  window_->setParent(parent);
  window_->setBounds(position);
  window_->setVisible(true);
  clientSite_->ShowObject();
  if (!uiActivate) return S_OK;

  if (!uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    // The control has no menus or toolbars of its own: it asks for no border space.
    if (frame_ != nullptr) {
      frame_->SetActiveObject(this, nullptr);
      frame_->SetBorderSpace(nullptr);
    }
    if (document_ != nullptr) {
      document_->SetActiveObject(this, nullptr);
      document_->SetBorderSpace(nullptr);
    }
  }
  if (HWND editor = editorOf(window_->hwnd()); editor != nullptr) SetFocus(editor);
  return S_OK;
}

HRESULT ComControl::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  inPlaceActive_ = false;
  window_->setVisible(false);
  window_->setParent(nullptr);
  release(frame_);
  release(document_);
  IOleInPlaceSite* site = inPlaceSite_;
  inPlaceSite_ = nullptr;
  site->OnInPlaceDeactivate();
  site->Release();
  return S_OK;
}

HRESULT ComControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_ != nullptr) frame_->SetActiveObject(nullptr, nullptr);
  if (document_ != nullptr) document_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_ != nullptr) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT ComControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (position == nullptr) return E_POINTER;
  window_->setBounds(*position);
  // The part outside the clip rectangle (a container scrolled the control partly out of
  // view) is cut off with a window region.
  RECT visible = *position;
  if (clip != nullptr) IntersectRect(&visible, position, clip);
  if (EqualRect(&visible, position)) {
    SetWindowRgn(window_->hwnd(), nullptr, TRUE);
  } else {
    OffsetRect(&visible, -position->left, -position->top);
    SetWindowRgn(window_->hwnd(), CreateRectRgnIndirect(&visible), TRUE);
  }
  return S_OK;
}

HRESULT ComControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

HRESULT ComControl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = inPlaceActive_ ? window_->hwnd() : nullptr;
  return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT ComControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// ---- IOleInPlaceActiveObject ----

// The control has no accelerators: every key goes on to the editor.
HRESULT ComControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT ComControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT ComControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT ComControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT ComControl::EnableModeless(BOOL) { return S_OK; }

// ---- IOleObject ----

HRESULT ComControl::SetClientSite(IOleClientSite* site) {
  if (site == clientSite_) return S_OK;
  if (site == nullptr) InPlaceDeactivate();
  assign(clientSite_, site);
  return S_OK;
}

HRESULT ComControl::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = clientSite_;
  if (clientSite_ != nullptr) clientSite_->AddRef();
  return S_OK;
}

HRESULT ComControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

// The control is never dirty, so no save option asks the site to save it.
HRESULT ComControl::Close(DWORD) {
  InPlaceDeactivate();
  if (oleAdvise_ != nullptr) oleAdvise_->SendOnClose();
  return S_OK;
}

HRESULT ComControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT ComControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ComControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT ComControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data != nullptr) *data = nullptr;
  return E_NOTIMPL;
}

// The primary verb and UI activation activate in place with the keyboard focus; showing
// and in-place activation put the control's window in place without taking the focus.
// Opening the control in a window of its own is not offered.
HRESULT ComControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) {
  if (clientSite_ == nullptr && activeSite != nullptr) SetClientSite(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_UIACTIVATE:
      return activateInPlace(true);
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return activateInPlace(false);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (inPlaceActive_) window_->setVisible(false);
      return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
      return S_OK;
    default:
      break;
  }
  if (verb < 0) return E_NOTIMPL;
  // An unknown positive verb is taken as the primary one.
  const HRESULT hr = activateInPlace(true);
  return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
}

HRESULT ComControl::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(kClsid, verbs); }
HRESULT ComControl::Update() { return S_OK; }
HRESULT ComControl::IsUpToDate() { return S_OK; }

HRESULT ComControl::GetUserClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = kClsid;
  return S_OK;
}

HRESULT ComControl::GetUserType(DWORD form, LPOLESTR* userType) {
  return OleRegGetUserType(kClsid, form, userType);
}

HRESULT ComControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size->cx <= 0 || size->cy <= 0) return E_INVALIDARG;
  applyExtent(*size);
  if (viewSink_ != nullptr) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  return S_OK;
}

HRESULT ComControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT ComControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (oleAdvise_ == nullptr && FAILED(CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
  return oleAdvise_->Advise(sink, connection);
}

HRESULT ComControl::Unadvise(DWORD connection) {
  if (oleAdvise_ == nullptr) return OLE_E_NOCONNECTION;
  return oleAdvise_->Unadvise(connection);
}

HRESULT ComControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (oleAdvise_ == nullptr && FAILED(CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
  return oleAdvise_->EnumAdvise(advise);
}

HRESULT ComControl::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT ComControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- IOleControl ----

// No mnemonics and no accelerators of the control's own.
HRESULT ComControl::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT ComControl::OnMnemonic(MSG*) { return S_OK; }

// The control reads no ambient properties.
HRESULT ComControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT ComControl::FreezeEvents(BOOL freeze) {
  if (freeze)
    ++frozenEvents_;
  else if (frozenEvents_ > 0)
    --frozenEvents_;
  return S_OK;
}

// ---- IViewObject2 ----

HRESULT ComControl::Draw(DWORD aspect, LONG index, void*, DVTARGETDEVICE*, HDC, HDC dc,
                         LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                         ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (index != -1) return DV_E_LINDEX;
  if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
  const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  window_->draw(dc, area);
  return S_OK;
}

HRESULT ComControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors != nullptr) *colors = nullptr;
  return E_NOTIMPL;
}

HRESULT ComControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT ComControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT ComControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  assign(viewSink_, sink);
  viewAspects_ = aspects;
  viewFlags_ = flags;
  if (sink != nullptr && (flags & ADVF_PRIMEFIRST) != 0) sink->OnViewChange(aspects, -1);
  return S_OK;
}

HRESULT ComControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = viewAspects_;
  if (flags != nullptr) *flags = viewFlags_;
  if (sink != nullptr) {
    *sink = viewSink_;
    if (viewSink_ != nullptr) viewSink_->AddRef();
  }
  return S_OK;
}

HRESULT ComControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace tavi::win32
