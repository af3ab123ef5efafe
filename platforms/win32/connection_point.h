// The connection point of the event interface __TaviColorText: the sinks that hosts
// advise, and the calls that raise onChange and onEvent on them. It is part of the
// control object: its reference count is the control's.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <ocidl.h>
#include <olectl.h>

#include <vector>

namespace tavi::win32 {

class EventConnectionPoint final : public IConnectionPoint {
 public:
  explicit EventConnectionPoint(IConnectionPointContainer& owner) : owner_(owner) {}
  ~EventConnectionPoint();
  EventConnectionPoint(const EventConnectionPoint&) = delete;
  EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

  // IUnknown: the point's own identity, the control's lifetime.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  // Calls the event `id` on every sink, in the order they were advised.
  void fire(DISPID id, DISPPARAMS& params);

 private:
  struct Connection {
    DWORD cookie;
    IDispatch* sink;
  };

  IConnectionPointContainer& owner_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace tavi::win32
