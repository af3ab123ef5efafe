#include "event_sink.h"

#include "win32/com_ids.h"

namespace tavi::host {

namespace {

constexpr DISPID kOnChange = 1;
constexpr DISPID kOnEvent = 2;

}  // namespace

EventSink::EventSink() = default;

void EventSink::clear() {
  changes_ = 0;
  eventIds_.clear();
  malformed_ = 0;
}

HRESULT EventSink::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch && riid != win32::kEventsIid)
    return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG EventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG EventSink::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids != nullptr && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
  const UINT argc = params != nullptr ? params->cArgs : 0;
  if (id == kOnChange) {
    if (argc != 0) ++malformed_;
    ++changes_;
    if (listener_) listener_(nullptr);
    return S_OK;
  }
  if (id == kOnEvent) {
    // onEvent(id As Integer) passes the id by reference; a by-value Integer is taken too,
    // but counted as malformed.
    const VARIANT* arg = argc == 1 ? &params->rgvarg[0] : nullptr;
    if (arg != nullptr && V_VT(arg) == (VT_I2 | VT_BYREF) && V_I2REF(arg) != nullptr) {
      eventIds_.push_back(*V_I2REF(arg));
      if (listener_) listener_(V_I2REF(arg));
    } else if (arg != nullptr && V_VT(arg) == VT_I2) {
      eventIds_.push_back(V_I2(arg));
      ++malformed_;
    } else {
      ++malformed_;
    }
    return S_OK;
  }
  ++malformed_;
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace tavi::host
