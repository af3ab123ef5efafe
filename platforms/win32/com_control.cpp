#include "win32/com_control.h"

#include <exception>
#include <new>
#include <string>

#include "shell/dispatch.h"
#include "shell/object_safety.h"
#include "shell/runtime_error.h"
#include "win32/com_ids.h"
#include "win32/enumerators.h"
#include "win32/module.h"
#include "win32/variant_bridge.h"

namespace tavi::win32 {

namespace {

Guid toGuid(REFIID riid) {
  Guid g;
  g.data1 = riid.Data1;
  g.data2 = riid.Data2;
  g.data3 = riid.Data3;
  for (int i = 0; i < 8; ++i) g.data4[i] = riid.Data4[i];
  return g;
}

std::string narrow(const wchar_t* name) {
  std::string out;
  for (; *name != 0; ++name) out.push_back(*name < 0x80 ? static_cast<char>(*name) : '?');
  return out;
}

MemberKind kindOf(WORD flags) {
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) return MemberKind::Put;
  if ((flags & DISPATCH_METHOD) != 0) return MemberKind::Method;
  return MemberKind::Get;
}

void fillException(EXCEPINFO* exception, const InvokeResult& result) {
  if (exception == nullptr) return;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(kErrorSource);
  const std::wstring description(result.description.begin(), result.description.end());
  exception->bstrDescription = SysAllocString(description.c_str());
  exception->scode = static_cast<SCODE>(result.hresult);
}

}  // namespace

ComControl::ComControl()
    : window_(std::make_unique<ControlWindow>()),
      control_(std::make_unique<TaviColorText>(window_->widgets())),
      events_(*this) {
  window_->attach(control_.get(), this);
  subclassWindow(true);
  control_->addEventSink(this);
  applyExtent(kDefaultExtent);
  control_->resize();
  objectCreated();
}

ComControl::~ComControl() {
  releaseSiteObjects();
  // The core unhooks the editor while the editor's window still exists.
  control_->terminate();
  window_->attach(nullptr);
  subclassWindow(false);
  control_->removeEventSink(this);
  control_.reset();
  window_.reset();
  objectDestroyed();
}

HRESULT ComControl::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIid)
    *object = static_cast<_TaviColorText*>(this);
  else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
    *object = static_cast<IProvideClassInfo2*>(this);
  else if (riid == IID_IConnectionPointContainer)
    *object = static_cast<IConnectionPointContainer*>(this);
  else if (riid == IID_IObjectSafety)
    *object = static_cast<IObjectSafety*>(this);
  else if (riid == IID_ISupportErrorInfo)
    *object = static_cast<ISupportErrorInfo*>(this);
  else if (riid == IID_IOleObject)
    *object = static_cast<IOleObject*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
    *object = static_cast<IOleInPlaceObject*>(this);
  else if (riid == IID_IOleInPlaceActiveObject)
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  else if (riid == IID_IOleControl)
    *object = static_cast<IOleControl*>(this);
  else if (riid == IID_IViewObject || riid == IID_IViewObject2)
    *object = static_cast<IViewObject2*>(this);
  // IPersistStream is IPersistStreamInit without InitNew at the end of the vtable.
  else if (riid == IID_IPersist || riid == IID_IPersistStreamInit || riid == IID_IPersistStream)
    *object = static_cast<IPersistStreamInit*>(this);
  else if (riid == IID_IPersistPropertyBag)
    *object = static_cast<IPersistPropertyBag*>(this);
  else if (riid == kProbeIid)
    *object = static_cast<ITaviProbe*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG ComControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG ComControl::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) {
    // A site that is told of the deactivation may take and drop a reference meanwhile.
    refs_ = 1;
    delete this;
  }
  return static_cast<ULONG>(left);
}

// ---- IDispatch ----

ITypeInfo* ComControl::typeInfoOf(REFGUID guid) {
  ITypeLib* library = typeLibrary();
  ITypeInfo* info = nullptr;
  if (library == nullptr || FAILED(library->GetTypeInfoOfGuid(guid, &info))) return nullptr;
  return info;
}

HRESULT ComControl::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT ComControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = typeInfoOf(kIid);
  return *info != nullptr ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT ComControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return S_OK;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  // Only the member is named; parameter names are not looked up.
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const auto id = DispatchTable::instance().idOfName(narrow(names[0]));
  if (!id) return DISP_E_UNKNOWNNAME;
  ids[0] = *id;
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT ComControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr) return E_INVALIDARG;
  const KeepAlive alive(*this);
  const DispatchTable& table = DispatchTable::instance();
  MemberKind kind = kindOf(flags);
  if (params->cNamedArgs > 0) {
    const bool putValue = kind == MemberKind::Put && params->cNamedArgs == 1 &&
                          params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    if (!putValue) return DISP_E_NONAMEDARGS;
  }
  // A method read as a property alone (DISPATCH_PROPERTYGET without DISPATCH_METHOD) is not
  // found, as the dispatch table answers on every platform and as a type library's Invoke
  // does; Visual Basic's reads pass both flags and reach the method.

  try {
    // rgvarg holds the arguments last first.
    const UINT count = params->cArgs;
    std::vector<Variant> args;
    args.reserve(count);
    for (UINT i = 0; i < count; ++i) {
      try {
        args.push_back(fromVariant(params->rgvarg[count - 1 - i]));
      } catch (const RuntimeError&) {
        if (argError != nullptr) *argError = count - 1 - i;
        throw;
      }
    }
    const InvokeResult outcome = table.invoke(*control_, id, kind, std::move(args));
    if (!outcome.ok()) {
      if (outcome.errorNumber == 0) return static_cast<HRESULT>(outcome.hresult);
      fillException(exception, outcome);
      return DISP_E_EXCEPTION;
    }
    const DispatchMember* member = table.find(id, kind);
    if (member == nullptr) member = table.find(id, MemberKind::Get);
    size_t written = 0;
    for (size_t i = 0; member != nullptr && i < member->params.size(); ++i)
      if (member->params[i].byRef && written < outcome.byRef.size())
        writeBack(outcome.byRef[written++], params->rgvarg[count - 1 - i]);
    if (result != nullptr) {
      VariantInit(result);
      toVariant(outcome.value, outcome.resultType, result);
    }
    return S_OK;
  } catch (const RuntimeError& error) {
    InvokeResult failed;
    failed.hresult = error.hresult();
    failed.errorNumber = error.number();
    failed.description = error.what();
    fillException(exception, failed);
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception&) {
    return E_UNEXPECTED;
  }
}

// ---- IProvideClassInfo2 ----

HRESULT ComControl::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = typeInfoOf(kClsid);
  return *info != nullptr ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT ComControl::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = kEventsIid;
  return S_OK;
}

// ---- Connection points ----

HRESULT ComControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return ConnectionPointEnumerator::create({&events_}, points);
}

HRESULT ComControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (riid != kEventsIid) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

// Events raised while the container has frozen them are dropped, not queued: a container
// freezes events while it is not ready to handle them.
void ComControl::onChange() {
  if (!inPlaceActive_ && viewSink_ != nullptr) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  if (frozenEvents_ > 0) return;
  DISPPARAMS params{};
  events_.fire(1, params);
}

void ComControl::onEvent(int16_t& id) {
  if (frozenEvents_ > 0) return;
  VARIANT arg;
  VariantInit(&arg);
  SHORT value = id;
  V_VT(&arg) = VT_I2 | VT_BYREF;
  V_I2REF(&arg) = &value;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  events_.fire(2, params);
  id = value;
}

// ---- IObjectSafety ----

// A COM caller names the interface by reference, so it cannot pass none: IID_NULL is the
// null identifier here, answered as the core answers no identifier (S_OK, and what it does
// not write stays as the caller left it).
HRESULT ComControl::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
  if (supported == nullptr || enabled == nullptr) return E_POINTER;
  const Guid id = toGuid(riid);
  uint32_t s = *supported;
  uint32_t e = *enabled;
  const uint32_t hr = tavi::GetInterfaceSafetyOptions(
      control_->module(), IsEqualIID(riid, IID_NULL) ? nullptr : &id, &s, &e);
  *supported = s;
  *enabled = e;
  return static_cast<HRESULT>(hr);
}

HRESULT ComControl::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) {
  const Guid id = toGuid(riid);
  return static_cast<HRESULT>(tavi::SetInterfaceSafetyOptions(
      control_->module(), IsEqualIID(riid, IID_NULL) ? nullptr : &id, mask, enabled));
}

}  // namespace tavi::win32
