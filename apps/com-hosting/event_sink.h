// The host's sink for the control's events (__TaviColorText): counts onChange and records
// the id of every onEvent, in order.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace tavi::host {

class EventSink final : public IDispatch {
 public:
  // Starts with one reference, the creator's.
  EventSink();
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;

  int changes() const { return changes_; }
  const std::vector<short>& eventIds() const { return eventIds_; }
  // Calls that did not fit the event interface: an unknown DISPID, or arguments of the
  // wrong number or type. A correct control makes none.
  int malformed() const { return malformed_; }
  void clear();
  // Also hears each well-formed event as it comes: onChange with no id, onEvent with its
  // id (by reference, as the control passes it).
  void setListener(std::function<void(short* eventId)> listener) {
    listener_ = std::move(listener);
  }

  // IUnknown: also answers the event interface's own DIID.
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

 private:
  ~EventSink() = default;

  LONG refs_ = 1;
  int changes_ = 0;
  std::vector<short> eventIds_;
  int malformed_ = 0;
  std::function<void(short*)> listener_;
};

}  // namespace tavi::host
