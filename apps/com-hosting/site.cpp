#include "site.h"

// After windows.h, which it needs.
#include <olectl.h>

namespace tavi::host {

Site::Site(HWND window) : window_(window) {}

Site::~Site() {
  if (activeObject_ != nullptr) activeObject_->Release();
}

void Site::setPosition(const RECT& position) { position_ = position; }

void Site::setInPlaceObject(IOleInPlaceObject* object) { inPlaceObject_ = object; }

IOleInPlaceActiveObject* Site::activeObject() const { return activeObject_; }

bool Site::inPlaceActive() const { return inPlaceActive_; }

bool Site::uiActive() const { return uiActive_; }

// ---- IUnknown ----

HRESULT Site::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleClientSite)
    *object = static_cast<IOleClientSite*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
    *object = static_cast<IOleInPlaceSite*>(this);
  else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
    *object = static_cast<IOleInPlaceFrame*>(this);
  else if (riid == IID_IOleControlSite)
    *object = static_cast<IOleControlSite*>(this);
  else if (riid == IID_IDispatch)
    *object = static_cast<IDispatch*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG Site::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG Site::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// ---- IOleClientSite: an embedded control with no storage and no document to show. ----

HRESULT Site::SaveObject() { return S_OK; }

HRESULT Site::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT Site::GetContainer(IOleContainer** container) {
  if (container != nullptr) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT Site::ShowObject() { return S_OK; }

HRESULT Site::OnShowWindow(BOOL) { return S_OK; }

HRESULT Site::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleWindow ----

HRESULT Site::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT Site::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleInPlaceSite ----

HRESULT Site::CanInPlaceActivate() { return S_OK; }

HRESULT Site::OnInPlaceActivate() {
  inPlaceActive_ = true;
  return S_OK;
}

HRESULT Site::OnUIActivate() {
  uiActive_ = true;
  return S_OK;
}

HRESULT Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* position,
                               RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (frame == nullptr || doc == nullptr || position == nullptr || clip == nullptr ||
      info == nullptr)
    return E_POINTER;
  // The frame is its own document window. OLE allows a null document window then; we hand
  // out this object for both, as many containers do, so that a control that calls
  // SetActiveObject on both without testing for null keeps working.
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *doc = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *position = position_;
  *clip = position_;
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT Site::Scroll(SIZE) { return E_NOTIMPL; }

HRESULT Site::OnUIDeactivate(BOOL) {
  uiActive_ = false;
  return S_OK;
}

HRESULT Site::OnInPlaceDeactivate() {
  inPlaceActive_ = false;
  return S_OK;
}

HRESULT Site::DiscardUndoState() { return S_OK; }

HRESULT Site::DeactivateAndUndo() { return S_OK; }

HRESULT Site::OnPosRectChange(const RECT* position) {
  if (position == nullptr) return E_POINTER;
  // The container has room for whatever the control asks: it gets the rectangle it wants.
  position_ = *position;
  if (inPlaceObject_ != nullptr) return inPlaceObject_->SetObjectRects(&position_, &position_);
  return S_OK;
}

// ---- IOleInPlaceUIWindow: no toolbars, so no border space to give. ----

HRESULT Site::GetBorder(RECT* border) {
  if (border == nullptr) return E_POINTER;
  return GetClientRect(window_, border) ? S_OK : E_FAIL;
}

HRESULT Site::RequestBorderSpace(const BORDERWIDTHS*) { return INPLACE_E_NOTOOLSPACE; }

HRESULT Site::SetBorderSpace(const BORDERWIDTHS* widths) {
  return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
}

HRESULT Site::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object != nullptr) object->AddRef();
  if (activeObject_ != nullptr) activeObject_->Release();
  activeObject_ = object;
  return S_OK;
}

// ---- IOleInPlaceFrame: no menus, no status bar, no accelerators of the frame. ----

HRESULT Site::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) { return S_OK; }

HRESULT Site::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }

HRESULT Site::RemoveMenus(HMENU) { return S_OK; }

HRESULT Site::SetStatusText(LPCOLESTR) { return S_OK; }

HRESULT Site::EnableModeless(BOOL) { return S_OK; }

HRESULT Site::TranslateAccelerator(MSG*, WORD) { return S_FALSE; }

// ---- IOleControlSite ----

HRESULT Site::OnControlInfoChanged() { return S_OK; }

HRESULT Site::LockInPlaceActive(BOOL) { return S_OK; }

HRESULT Site::GetExtendedControl(IDispatch** control) {
  if (control != nullptr) *control = nullptr;
  return E_NOTIMPL;
}

HRESULT Site::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (himetric == nullptr || container == nullptr) return E_POINTER;
  // The container's unit is the pixel of the screen.
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  constexpr float kHimetricPerInch = 2540.0f;
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(himetric->x) * dpiX / kHimetricPerInch;
    container->y = static_cast<float>(himetric->y) * dpiY / kHimetricPerInch;
  } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / dpiX + 0.5f);
    himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / dpiY + 0.5f);
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT Site::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

HRESULT Site::OnFocus(BOOL) { return S_OK; }

HRESULT Site::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IDispatch: ambient properties ----

HRESULT Site::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT Site::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT Site::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids != nullptr && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT Site::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                     UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  VARIANT value;
  VariantInit(&value);
  switch (id) {
    case DISPID_AMBIENT_USERMODE:  // run mode, not design mode
      V_VT(&value) = VT_BOOL;
      V_BOOL(&value) = VARIANT_TRUE;
      break;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_MESSAGEREFLECT:  // the control's notifications are not reflected back
      V_VT(&value) = VT_BOOL;
      V_BOOL(&value) = VARIANT_FALSE;
      break;
    case DISPID_AMBIENT_LOCALEID:
      V_VT(&value) = VT_I4;
      V_I4(&value) = static_cast<LONG>(GetUserDefaultLCID());
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
  if (result == nullptr) return E_POINTER;
  *result = value;
  return S_OK;
}

}  // namespace tavi::host
