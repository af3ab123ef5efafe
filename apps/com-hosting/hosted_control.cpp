#include "hosted_control.h"

#include "automation.h"
#include "win32/com_ids.h"

namespace tavi::host {

namespace {

std::string failed(const std::string& call, HRESULT hr) { return call + " failed with " + hex(hr); }

std::string guidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return utf8(text);
}

struct ChildSearch {
  int id;
  HWND except;
  HWND found = nullptr;
};

BOOL CALLBACK matchChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetWindowLongPtrW(window, GWLP_ID) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

// A floating window may be a top-level window of its own: look at those of this thread too.
BOOL CALLBACK matchThreadWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (window == search->except) return TRUE;
  matchChild(window, param);
  if (search->found == nullptr) EnumChildWindows(window, matchChild, param);
  return search->found == nullptr;
}

}  // namespace

HostedControl::~HostedControl() {
  std::string ignored;
  close(ignored);
  sink_->Release();
}

bool HostedControl::open(HWND frame, std::string& error, Activation activation) {
  frame_ = frame;
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(win32::kProgId, &clsid);
  if (FAILED(hr)) {
    error = failed("CLSIDFromProgID(\"TaviColorTxt.TaviColorText\")", hr) +
            ": is TaviColorTxt.dll registered (regsvr32)?";
    return false;
  }
  if (clsid != win32::kClsid) {
    error = "the ProgID names the class " + guidText(clsid) + ", not " + guidText(win32::kClsid);
    return false;
  }
  IUnknown* unknown = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                        reinterpret_cast<void**>(&unknown));
  if (FAILED(hr)) {
    error = failed("CoCreateInstance(" + guidText(clsid) + ")", hr);
    return false;
  }
  hr = unknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_));
  HRESULT dispatchHr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
  IConnectionPointContainer* points = nullptr;
  HRESULT pointsHr =
      unknown->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
  unknown->Release();
  if (FAILED(hr)) {
    error = failed("QueryInterface(IOleObject)", hr) + ": the object cannot be sited";
  } else if (FAILED(dispatchHr)) {
    error = failed("QueryInterface(IDispatch)", dispatchHr);
  } else if (FAILED(pointsHr)) {
    error = failed("QueryInterface(IConnectionPointContainer)", pointsHr);
  }
  if (!error.empty()) {
    if (points != nullptr) points->Release();
    return false;
  }

  // Events first, so that nothing the control raises while it is being sited is missed.
  hr = points->FindConnectionPoint(win32::kEventsIid, &events_);
  points->Release();
  if (FAILED(hr)) {
    error = failed("FindConnectionPoint(__TaviColorText)", hr);
    return false;
  }
  hr = events_->Advise(static_cast<IDispatch*>(sink_), &cookie_);
  if (FAILED(hr)) {
    events_->Release();
    events_ = nullptr;
    error = failed("IConnectionPoint::Advise", hr);
    return false;
  }

  RECT bounds{};
  GetClientRect(frame, &bounds);
  site_ = new Site(frame);
  site_->setPosition(bounds);
  hr = object_->SetClientSite(static_cast<IOleClientSite*>(site_));
  if (FAILED(hr)) {
    error = failed("IOleObject::SetClientSite", hr);
    return false;
  }
  // A new control, not one loaded from storage: InitNew when it persists itself.
  IPersistStreamInit* persist = nullptr;
  if (SUCCEEDED(
          object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
    hr = persist->InitNew();
    persist->Release();
    if (FAILED(hr)) {
      error = failed("IPersistStreamInit::InitNew", hr);
      return false;
    }
  }
  object_->SetHostNames(L"tavi-host", L"TaviColorText");

  auto* clientSite = static_cast<IOleClientSite*>(site_);
  hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, frame, &bounds);
  if (FAILED(hr)) {
    error = failed("IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)", hr);
    return false;
  }
  if (!site_->inPlaceActive()) {
    error =
        "IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE) succeeded, but the control never "
        "called IOleInPlaceSite::OnInPlaceActivate";
    return false;
  }
  hr = object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
  if (FAILED(hr)) {
    error = failed("QueryInterface(IOleInPlaceObject)", hr);
    return false;
  }
  site_->setInPlaceObject(inPlace_);
  hr = inPlace_->GetWindow(&window_);
  if (FAILED(hr) || !IsWindow(window_)) {
    error = FAILED(hr) ? failed("IOleInPlaceObject::GetWindow", hr)
                       : "IOleInPlaceObject::GetWindow gave no window";
    return false;
  }
  if (!IsChild(frame, window_)) {
    error =
        "the control's window is not a child of the host's window after in-place "
        "activation";
    return false;
  }
  if (activation == Activation::kInPlace) {
    resize(bounds);
    return true;
  }
  hr = object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, clientSite, 0, frame, &bounds);
  if (FAILED(hr)) {
    error = failed("IOleObject::DoVerb(OLEIVERB_UIACTIVATE)", hr);
    return false;
  }
  if (!site_->uiActive()) {
    error =
        "IOleObject::DoVerb(OLEIVERB_UIACTIVATE) succeeded, but the control never called "
        "IOleInPlaceSite::OnUIActivate";
    return false;
  }
  resize(bounds);
  return true;
}

bool HostedControl::configure(std::string& error) {
  struct Setting {
    const wchar_t* name;
    const wchar_t* text;
  };
  const Setting messages[] = {
      {L"m_strScriptEditor", L"Script Editor"},
      {L"m_strMaximumSize", L"The script may hold at most %1 characters.%2"},
      {L"m_strFinishSearch", L"Finished searching the script."},
      {L"m_strNotFoundText", L"The text was not found."},
      {L"m_strPrintErr", L"The script cannot be printed."},
      {L"m_strPopUpMenu", L"Undo,Cut,Copy,Paste,Delete,Select All"},
  };
  for (const Setting& s : messages) {
    if (!putProperty(dispatch_, s.name, Variant::text(s.text), error)) return false;
  }
  return putProperty(dispatch_, L"KeywordHighlight_flag", Variant::boolean(true), error) &&
         putProperty(dispatch_, L"Load_flag", Variant::boolean(false), error);
}

bool HostedControl::close(std::string& error) {
  std::string errors;
  auto note = [&errors](const std::string& call, HRESULT hr) {
    if (FAILED(hr)) errors += (errors.empty() ? "" : "; ") + failed(call, hr);
  };
  if (events_ != nullptr) {
    note("IConnectionPoint::Unadvise", events_->Unadvise(cookie_));
    events_->Release();
    events_ = nullptr;
  }
  if (inPlace_ != nullptr) {
    if (site_->uiActive()) note("IOleInPlaceObject::UIDeactivate", inPlace_->UIDeactivate());
    if (site_->inPlaceActive())
      note("IOleInPlaceObject::InPlaceDeactivate", inPlace_->InPlaceDeactivate());
    site_->setInPlaceObject(nullptr);
    inPlace_->Release();
    inPlace_ = nullptr;
  }
  if (object_ != nullptr) {
    note("IOleObject::Close", object_->Close(OLECLOSE_NOSAVE));
    if (site_ != nullptr) note("IOleObject::SetClientSite(null)", object_->SetClientSite(nullptr));
    object_->Release();
    object_ = nullptr;
  }
  if (dispatch_ != nullptr) {
    dispatch_->Release();
    dispatch_ = nullptr;
  }
  if (site_ != nullptr) {
    site_->Release();
    site_ = nullptr;
  }
  window_ = nullptr;
  error = errors;
  return errors.empty();
}

void HostedControl::resize(const RECT& bounds) {
  if (site_ != nullptr) site_->setPosition(bounds);
  if (inPlace_ != nullptr) inPlace_->SetObjectRects(&bounds, &bounds);
}

IOleInPlaceActiveObject* HostedControl::activeObject() const {
  return site_ != nullptr ? site_->activeObject() : nullptr;
}

HWND HostedControl::child(int id) const {
  ChildSearch search{id, frame_};
  EnumChildWindows(frame_, matchChild, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr)
    EnumThreadWindows(GetCurrentThreadId(), matchThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tavi::host
