// TaviColorText as a COM object: IDispatch through the core's dispatch table,
// IProvideClassInfo2, IConnectionPointContainer with the point for __TaviColorText, and
// IObjectSafety. Created without a container it owns its widgets itself: the in-memory
// widget set of the headless platform, hidden.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "headless/control.h"
#include "headless/services.h"
#include "shell/control.h"

namespace tavi::win32 {

class ComControl final : public IDispatch,
                         public IProvideClassInfo2,
                         public IConnectionPointContainer,
                         public IConnectionPoint,
                         public IObjectSafety,
                         private EventSink {
 public:
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

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer: one point, this object itself.
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IConnectionPoint for __TaviColorText.
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID riid, DWORD* supported,
                                                      DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID riid, DWORD mask,
                                                      DWORD enabled) override;

 private:
  struct Connection {
    DWORD cookie;
    IDispatch* sink;
  };

  // EventSink: the core's events, sent to every advised sink.
  void onChange() override;
  void onEvent(int16_t& id) override;
  void fire(DISPID id, DISPPARAMS& params);

  ITypeInfo* typeInfoOf(REFGUID guid);

  LONG refs_ = 1;
  std::unique_ptr<HeadlessServices> services_;
  std::unique_ptr<HeadlessControl> widgets_;
  std::unique_ptr<TaviColorText> control_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace tavi::win32
