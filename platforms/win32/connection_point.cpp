#include "win32/connection_point.h"

#include "win32/com_ids.h"
#include "win32/enumerators.h"

namespace tavi::win32 {

EventConnectionPoint::~EventConnectionPoint() {
  for (const Connection& c : connections_) c.sink->Release();
}

HRESULT EventConnectionPoint::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != IID_IConnectionPoint) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

ULONG EventConnectionPoint::AddRef() { return owner_.AddRef(); }

ULONG EventConnectionPoint::Release() { return owner_.Release(); }

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = kEventsIid;
  return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** c) {
  if (c == nullptr) return E_POINTER;
  *c = &owner_;
  owner_.AddRef();
  return S_OK;
}

HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  // Script hosts' sinks answer only IDispatch, not the event interface's IID.
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
    return CONNECT_E_CANNOTCONNECT;
  connections_.push_back({nextCookie_, dispatch});
  *cookie = nextCookie_++;
  return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (it->cookie == cookie) {
      IDispatch* sink = it->sink;
      connections_.erase(it);
      sink->Release();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  std::vector<CONNECTDATA> items;
  items.reserve(connections_.size());
  for (const Connection& c : connections_) items.push_back({c.sink, c.cookie});
  return ConnectionEnumerator::create(items, connections);
}

void EventConnectionPoint::fire(DISPID id, DISPPARAMS& params) {
  // A sink may unadvise while it handles the event: iterate over a held copy.
  std::vector<Connection> current = connections_;
  for (const Connection& c : current) c.sink->AddRef();
  for (const Connection& c : current) {
    c.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                   nullptr);
    c.sink->Release();
  }
}

}  // namespace tavi::win32
