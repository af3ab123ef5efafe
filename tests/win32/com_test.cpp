// TaviColorTxt.dll as a container and a compiled client see it: loaded from the build
// folder and created through DllGetClassObject (no registration), then driven through its
// dual vtable, its enumerators, its persistence interfaces and in-place activation in a
// window of the test's own. What scripts see through IDispatch is checked by control.vbs
// and control.js, a container's typing and events by tavi-host --test.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <servprov.h>
#include <urlmon.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <wrl/client.h>

#include "TaviColorTxt_h.h"
#include "win32/com_ids.h"
#include "win32/widgets/control_window.h"

namespace {

using Microsoft::WRL::ComPtr;
using tavi::win32::kClsid;
using tavi::win32::kDefaultExtent;
using tavi::win32::kEventsIid;
using tavi::win32::kIid;

// A VARIANT cleared at the end of its scope.
struct Var : VARIANT {
  Var() { VariantInit(this); }
  explicit Var(const wchar_t* text) : Var() {
    V_VT(this) = VT_BSTR;
    V_BSTR(this) = SysAllocString(text);
  }
  ~Var() { VariantClear(this); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  // Receives a string result.
  BSTR* bstr() {
    VariantClear(this);
    V_VT(this) = VT_BSTR;
    V_BSTR(this) = nullptr;
    return &V_BSTR(this);
  }
  // The value as text (Booleans as True and False).
  std::wstring text() const {
    Var copy;
    if (FAILED(VariantChangeType(&copy, const_cast<Var*>(this), VARIANT_ALPHABOOL, VT_BSTR)))
      return L"<no text>";
    return {V_BSTR(&copy), SysStringLen(V_BSTR(&copy))};
  }
};

// The test's own COM objects: they answer IUnknown and `Interfaces`, and count their
// references from the test's own (they live on the stack and are never deleted).
template <typename... Interfaces>
class TestObject : public Interfaces... {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** object) override {
    *object = nullptr;
    ((*object = *object == nullptr && (riid == __uuidof(Interfaces) || riid == IID_IUnknown)
                    ? static_cast<Interfaces*>(this)
                    : *object),
     ...);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override { return --refs; }
  ULONG refs = 1;
};

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

HMODULE g_dll = nullptr;

// An entry point of the DLL (void (*)() is the cast GCC allows between function types).
template <typename F>
F entryPoint(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(g_dll, name)));
}

class ComTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    g_dll = LoadLibraryW(L"TaviColorTxt.dll");  // the program's folder comes first
  }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_NE(g_dll, nullptr) << "TaviColorTxt.dll not found next to the test program";
    auto getClassObject = entryPoint<GetClassObject>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsid, IID_IClassFactory, &factory), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &control_), S_OK);
    ASSERT_EQ(control_->QueryInterface(kIid, &dual_), S_OK);
    ASSERT_EQ(control_->QueryInterface(IID_IOleObject, &ole_), S_OK);
  }

  // The control's interface T.
  template <typename T>
  ComPtr<T> as() {
    ComPtr<T> out;
    EXPECT_EQ(control_.As(&out), S_OK);
    return out;
  }

  using Extent = std::pair<LONG, LONG>;
  Extent extent() {
    SIZEL size{};
    EXPECT_EQ(ole_->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    return {size.cx, size.cy};
  }
  void setExtent(SIZEL size) { EXPECT_EQ(ole_->SetExtent(DVASPECT_CONTENT, &size), S_OK); }

  ComPtr<IUnknown> control_;
  ComPtr<_TaviColorText> dual_;
  ComPtr<IOleObject> ole_;
};

TEST_F(ComTest, EveryInterfaceAnswersWithTheSameIdentity) {
  for (const IID& iid :
       {IID_IDispatch, kIid, IID_IProvideClassInfo, IID_IProvideClassInfo2,
        IID_IConnectionPointContainer, IID_IObjectSafety, IID_ISupportErrorInfo, IID_IOleObject,
        IID_IOleWindow, IID_IOleInPlaceObject, IID_IOleInPlaceActiveObject, IID_IOleControl,
        IID_IViewObject, IID_IViewObject2, IID_IPersist, IID_IPersistStream, IID_IPersistStreamInit,
        IID_IPersistPropertyBag}) {
    wchar_t name[40];
    StringFromGUID2(iid, name, 40);
    ComPtr<IUnknown> asked, identity;
    ASSERT_EQ(control_->QueryInterface(iid, &asked), S_OK) << name;
    ASSERT_EQ(asked->QueryInterface(IID_IUnknown, &identity), S_OK) << name;
    EXPECT_EQ(identity.Get(), control_.Get()) << name;
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(control_->QueryInterface(IID_IOleCache, &none), E_NOINTERFACE);
  EXPECT_EQ(none.Get(), nullptr);
}

// The vtable's members run the control's: results come back, ByRef parameters are written
// back, a missing pointer is refused, and errors carry the runtime number.
TEST_F(ComTest, DualInterfaceCallsTheControlAndReportsItsErrors) {
  ASSERT_EQ(dual_->put_Text(Var(L"IF A THEN\nEND IF")), S_OK);
  Var value, length;
  ASSERT_EQ(dual_->get_Value(&value), S_OK);
  EXPECT_EQ(value.text(), L"IF A THEN\r\nEND IF");
  ASSERT_EQ(dual_->get_Length(&length), S_OK);
  EXPECT_EQ(V_VT(&length), VT_I4);
  EXPECT_EQ(V_I4(&length), 15);

  Var oldText(L"abcdef"), newText(L"abXYef"), removed;
  LONG start = 0, changeNum = 0;
  const BSTR from = V_BSTR(&oldText), to = V_BSTR(&newText);
  ASSERT_EQ(dual_->change(from, to, &start, &changeNum, removed.bstr()), S_OK);
  EXPECT_EQ(removed.text(), L"cd");
  EXPECT_EQ(start, 2);
  EXPECT_EQ(changeNum, 2);
  EXPECT_EQ(dual_->change(from, to, nullptr, &changeNum, removed.bstr()), E_POINTER);
  EXPECT_EQ(dual_->get_Value(nullptr), E_POINTER);

  // An error comes back as its runtime number with an error object, and no result.
  const auto support = as<ISupportErrorInfo>();
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(kIid), S_OK);

  EXPECT_EQ(dual_->put_KeywordHighlight_flag(Var(L"maybe")), static_cast<HRESULT>(0x800A000D));
  ComPtr<IErrorInfo> error;
  ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
  Var description, source;
  error->GetDescription(description.bstr());
  error->GetSource(source.bstr());
  EXPECT_EQ(description.text(), L"Type mismatch");
  EXPECT_EQ(source.text(), L"TaviColorTxt.TaviColorText");

  LONG line = 0, startPos = 0;
  Var result;
  EXPECT_EQ(dual_->HighlightLine(&line, &startPos, &result), static_cast<HRESULT>(0x800A0009));
  EXPECT_EQ(V_VT(&result), VT_EMPTY);
}

// Each property reaches the same member through the vtable as through IDispatch: a value
// put one way reads back the other way. The vtable is called through the type library's
// description of it (ITypeInfo::Invoke calls the slot that the description names).
TEST_F(ComTest, VtablePropertiesMatchTheDispatchInterface) {
  ComPtr<ITypeInfo> dispatchInfo, vtable;
  ASSERT_EQ(dual_->GetTypeInfo(0, 0, &dispatchInfo), S_OK);
  HREFTYPE vtableType = 0;
  ASSERT_EQ(dispatchInfo->GetRefTypeOfImplType(-1, &vtableType), S_OK);
  ASSERT_EQ(dispatchInfo->GetRefTypeInfo(vtableType, &vtable), S_OK);
  // Reads (put == nullptr) or puts a property through the vtable or through IDispatch.
  const auto access = [&](bool throughVtable, MEMBERID id, VARIANT* put) {
    DISPID named = DISPID_PROPERTYPUT;
    const UINT count = put != nullptr ? 1 : 0;
    DISPPARAMS params{put, &named, count, count};
    const WORD kind = put != nullptr ? DISPATCH_PROPERTYPUT : DISPATCH_PROPERTYGET;
    Var result;
    EXPECT_EQ(throughVtable
                  ? vtable->Invoke(dual_.Get(), id, kind, &params, &result, nullptr, nullptr)
                  : dual_->Invoke(id, IID_NULL, 0, kind, &params, &result, nullptr, nullptr),
              S_OK);
    return result.text();
  };

  int checked = 0;
  FUNCDESC* member = nullptr;
  for (UINT i = 0; vtable->GetFuncDesc(i, &member) == S_OK; ++i) {
    const MEMBERID id = member->memid;
    const bool put = member->invkind == INVOKE_PROPERTYPUT;
    const VARTYPE type = put ? member->lprgelemdescParam[0].tdesc.vt : VARTYPE{VT_EMPTY};
    vtable->ReleaseFuncDesc(member);
    Var name;
    vtable->GetDocumentation(id, name.bstr(), nullptr, nullptr, nullptr);
    const std::wstring property = name.text();
    // Text reads the selection and Length the text's length: neither reads back a put.
    if (!put || property == L"Text" || property == L"Length") continue;
    SCOPED_TRACE(::testing::Message() << property);
    // Two values of the property's type: True and False, -1 and 0, "-1" and "0" (Booleans
    // for a Variant).
    Var a(L"-1"), b(L"0");
    const VARTYPE vt = type == VT_VARIANT ? VARTYPE{VT_BOOL} : type;
    ASSERT_EQ(VariantChangeType(&a, &a, 0, vt) | VariantChangeType(&b, &b, 0, vt), S_OK);
    access(false, id, &a);
    EXPECT_EQ(access(true, id, nullptr), a.text());
    access(true, id, &b);
    EXPECT_EQ(access(false, id, nullptr), b.text());
    EXPECT_EQ(access(true, id, nullptr), b.text());
    ++checked;
  }
  EXPECT_EQ(checked, 24)
      << "the 16 public variables, Load_flag, KeywordHighlight_flag and the six opt-in flags";

  // Length (put) stores the maximum length.
  Var length;
  V_VT(&length) = VT_I4;
  V_I4(&length) = 77;
  ASSERT_EQ(dual_->put_Length(length), S_OK);
  LONG maximum = 0;
  ASSERT_EQ(dual_->get_m_MaxLen(&maximum), S_OK);
  EXPECT_EQ(maximum, 77);
}

// An event sink: an IDispatch that only answers Invoke.
struct Sink : TestObject<IDispatch> {
  STDMETHOD(GetTypeInfoCount)(UINT*) override { return E_NOTIMPL; }
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

// An event sink of the test's own: it records the DISPIDs of the events it is sent.
struct RecordingSink final : Sink {
  std::vector<DISPID> events;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return events.push_back(id), S_OK;
  }
};

TEST_F(ComTest, EnumeratorsWalkTheConnectionPointsAndConnections) {
  auto container = as<IConnectionPointContainer>();
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  ComPtr<IConnectionPoint> point;
  ULONG fetched = 0;
  ASSERT_EQ(points->Next(1, &point, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  IID iid{};
  point->GetConnectionInterface(&iid);
  EXPECT_EQ(iid, kEventsIid);

  // The connections in the order made, the end told by S_FALSE; a clone goes on from where
  // its original stands (one template makes both enumerators).
  RecordingSink first, second;
  DWORD cookies[2] = {};
  ASSERT_EQ(point->Advise(&first, &cookies[0]), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookies[1]), S_OK);
  ComPtr<IEnumConnections> connections, rest;
  ASSERT_EQ(point->EnumConnections(&connections), S_OK);
  CONNECTDATA data[3] = {};
  ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].dwCookie, cookies[0]);
  EXPECT_EQ(data[1].dwCookie, cookies[1]);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  EXPECT_EQ(connections->Reset(), S_OK);
  EXPECT_EQ(connections->Skip(1), S_OK);
  ASSERT_EQ(connections->Clone(&rest), S_OK);
  EXPECT_EQ(connections->Skip(2), S_FALSE);
  ASSERT_EQ(rest->Next(1, data, nullptr), S_OK);
  EXPECT_EQ(data[0].dwCookie, cookies[1]);
  data[0].pUnk->Release();

  // Events reach every connection; a frozen container gets none, an ended connection none.
  ASSERT_EQ(dual_->put_Text(Var(L"IF")), S_OK);
  EXPECT_EQ(first.events, std::vector<DISPID>{1});
  EXPECT_EQ(second.events, std::vector<DISPID>{1});
  auto control = as<IOleControl>();
  control->FreezeEvents(TRUE);
  ASSERT_EQ(dual_->put_Text(Var(L"IF")), S_OK);
  control->FreezeEvents(FALSE);
  EXPECT_EQ(first.events.size(), 1u);
  EXPECT_EQ(point->Unadvise(cookies[0]), S_OK);
  EXPECT_EQ(point->Unadvise(cookies[0]), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(dual_->put_Text(Var(L"IF")), S_OK);
  EXPECT_EQ(first.events.size(), 1u);
  EXPECT_EQ(second.events.size(), 2u);
  EXPECT_EQ(point->Unadvise(cookies[1]), S_OK);
  connections.Reset();
  rest.Reset();
  EXPECT_EQ(first.refs, 1u);
  EXPECT_EQ(second.refs, 1u);

  // The DLL can unload once every object is gone: the enumerator holds the connection point.
  const auto canUnload = entryPoint<CanUnloadNow>("DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  container.Reset();
  point.Reset();
  control.Reset();
  dual_.Reset();
  ole_.Reset();
  control_.Reset();
  EXPECT_EQ(canUnload(), S_FALSE);
  points.Reset();
  EXPECT_EQ(canUnload(), S_OK);
}

// A property bag of the test's own, holding its values by name.
struct MapBag final : TestObject<IPropertyBag> {
  std::map<std::wstring, Var> values;
  STDMETHOD(Read)(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    const auto it = values.find(name);
    if (it == values.end()) return E_INVALIDARG;
    const VARTYPE wanted = V_VT(value);
    VariantInit(value);
    return VariantChangeType(value, &it->second, 0, wanted);
  }
  STDMETHOD(Write)(LPCOLESTR name, VARIANT* value) override {
    return VariantCopy(&values[name], value);
  }
};

// The extent goes into a stream or a property bag and comes back from it; an empty one is a
// new control, and a record that is not the control's is refused and changes nothing.
TEST_F(ComTest, StreamAndPropertyBagKeepTheExtent) {
  setExtent({4000, 3000});
  const auto persist = as<IPersistStreamInit>();
  const auto persistBag = as<IPersistPropertyBag>();
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  MapBag bag;
  ASSERT_EQ(persistBag->Save(&bag, TRUE, TRUE), S_OK);
  ASSERT_EQ(bag.values.size(), 2u);
  EXPECT_EQ(V_I4(&bag.values[L"_ExtentX"]), 4000);
  EXPECT_EQ(V_I4(&bag.values[L"_ExtentY"]), 3000);
  const LARGE_INTEGER start{};
  setExtent({100, 100});
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(as<IPersistStream>()->Load(stream.Get()), S_OK);  // the same as IPersistStreamInit's
  EXPECT_EQ(extent(), Extent(4000, 3000));
  setExtent({100, 100});
  ASSERT_EQ(persistBag->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(extent(), Extent(4000, 3000));

  struct {
    const char* name;
    std::vector<DWORD> record;
    HRESULT expected;
  } const cases[] = {
      {"empty", {}, S_OK},
      {"truncated", {1, 4000}, STG_E_READFAULT},
      {"unknown version", {7, 4000, 3000}, STG_E_INVALIDHEADER},
      {"empty extent", {1, 0, 3000}, STG_E_INVALIDHEADER},
  };
  for (const auto& c : cases) {
    setExtent({100, 100});
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, &s);
    s->Write(c.record.data(), static_cast<ULONG>(c.record.size() * sizeof(DWORD)), nullptr);
    s->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(s.Get()), c.expected) << c.name;
    EXPECT_EQ(extent().first, c.expected == S_OK ? kDefaultExtent.cx : 100) << c.name;
  }

  MapBag empty, wrong;
  Var wide(L"wide");
  wrong.Write(L"_ExtentX", &wide);
  setExtent({100, 100});
  EXPECT_EQ(persistBag->Load(&wrong, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(extent().first, 100);
  ASSERT_EQ(persistBag->Load(&empty, nullptr), S_OK);
  EXPECT_EQ(extent(), Extent(kDefaultExtent.cx, kDefaultExtent.cy));
}

// The control draws its picture, the gutter and the text, into a device context of the
// container's, for the content aspect only.
TEST_F(ComTest, ViewObjectDrawsTheGutterAndTheTextForTheContentAspectOnly) {
  ASSERT_EQ(dual_->put_Text(Var(L"QUEUE TO SKILLSET Sales WITH PRIORITY 2\nQUIT")), S_OK);
  const auto view = as<IViewObject2>();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 210);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, 320, 210};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const RECTL bounds{0, 0, 320, 210};
  for (const DWORD aspect : {DVASPECT_ICON, DVASPECT_CONTENT})
    EXPECT_EQ(view->Draw(aspect, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
              aspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT);
  // About half the control's size: the gutter's 48 pixels become about 24.
  const COLORREF face = GetSysColor(COLOR_BTNFACE), background = GetPixel(dc, 10, 150);
  EXPECT_NEAR(GetRValue(background), GetRValue(face), 8) << "the gutter's background";
  EXPECT_NEAR(GetBValue(background), GetBValue(face), 8);
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 30; x < 300; ++x) dark += GetRValue(GetPixel(dc, x, y)) < 128 ? 1 : 0;
  EXPECT_GT(dark, 20) << "the first line's text";
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  SIZEL size{};
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size), S_OK);
  EXPECT_EQ(size.cx, kDefaultExtent.cx);
  EXPECT_EQ(ole_->SetExtent(DVASPECT_ICON, &size), DV_E_DVASPECT);
}

// A client site that answers only what a container must, with more interfaces of its own.
template <typename... More>
struct ClientSite : TestObject<IOleClientSite, More...> {
  STDMETHOD(SaveObject)() override { return E_NOTIMPL; }
  STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHOD(GetContainer)(IOleContainer**) override { return E_NOTIMPL; }
  STDMETHOD(ShowObject)() override { return S_OK; }
  STDMETHOD(OnShowWindow)(BOOL) override { return E_NOTIMPL; }
  STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }
};

// A minimal container site: the control is placed at `position` in `window`; the calls the
// control makes on the site are recorded by name.
struct TestSite final : ClientSite<IOleInPlaceSite> {
  HWND window = nullptr;
  RECT position{};
  std::vector<std::string> calls;

  STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
  STDMETHOD(Scroll)(SIZE) override { return E_NOTIMPL; }
  STDMETHOD(DiscardUndoState)() override { return E_NOTIMPL; }
  STDMETHOD(DeactivateAndUndo)() override { return E_NOTIMPL; }
  STDMETHOD(OnPosRectChange)(LPCRECT) override { return E_NOTIMPL; }
  STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
  STDMETHOD(GetWindow)(HWND* w) override { return *w = window, S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT pos, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *doc = nullptr;
    *pos = position;
    GetClientRect(window, clip);
    return S_OK;
  }
  STDMETHOD(OnInPlaceActivate)() override { return record("OnInPlaceActivate"); }
  STDMETHOD(OnUIActivate)() override { return record("OnUIActivate"); }
  STDMETHOD(OnUIDeactivate)(BOOL) override { return record("OnUIDeactivate"); }
  STDMETHOD(OnInPlaceDeactivate)() override { return record("OnInPlaceDeactivate"); }
  HRESULT record(const char* call) { return calls.push_back(call), S_OK; }
};

// Whether the control's window lies at `place` in its parent's client area.
bool placedAt(HWND window, const RECT& place) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return EqualRect(&r, &place);
}

// A left click with the real mouse at the centre of `window`, and the messages it makes.
void clickAtCentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
  MSG message;
  const DWORD end = GetTickCount() + 500;
  while (GetTickCount() < end) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

// Activation and deactivation as such are checked by tavi-host --test too; here, where the
// control goes, that a click activates it, the order of the site's calls and the state left.
TEST_F(ComTest, InPlaceActivationPutsTheControlInTheContainersWindow) {
  HWND container = CreateWindowExW(0, L"STATIC", L"container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                   0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(container, nullptr);
  TestSite site;
  site.window = container;
  site.position = {10, 20, 310, 220};

  ASSERT_EQ(ole_->SetClientSite(&site), S_OK);
  ASSERT_EQ(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, -1, container, &site.position),
            S_OK);
  const auto inPlace = as<IOleInPlaceObject>();
  HWND window = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(placedAt(window, site.position));

  const RECT moved{30, 40, 430, 340};
  RECT clip;
  GetClientRect(container, &clip);
  ASSERT_EQ(inPlace->SetObjectRects(&moved, &clip), S_OK);
  EXPECT_TRUE(placedAt(window, moved));

  // A click into the control UI-activates it; so does the verb, and the editor gets the
  // keyboard focus. Deactivating in place UI-deactivates first.
  clickAtCentreOf(window);
  ASSERT_EQ(inPlace->UIDeactivate(), S_OK);
  ASSERT_EQ(ole_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, -1, container, &moved), S_OK);
  EXPECT_TRUE(IsChild(window, GetFocus()));
  ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(site.calls,
            (std::vector<std::string>{"OnInPlaceActivate", "OnUIActivate", "OnUIDeactivate",
                                      "OnUIActivate", "OnUIDeactivate", "OnInPlaceDeactivate"}));
  EXPECT_FALSE(IsChild(container, window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);

  // The control still works without a container, and lets go of the site when closed.
  ASSERT_EQ(dual_->put_Text(Var(L"QUEUE TO SKILLSET")), S_OK);
  ASSERT_EQ(ole_->Close(OLECLOSE_NOSAVE), S_OK);
  ASSERT_EQ(ole_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(site.refs, 1u);
  DestroyWindow(container);
}

// A sink whose client releases the control, holding its only reference, when the event
// `releaseIn` arrives: what a page does that drops the control inside its own handler.
struct ReleasingSink final : Sink {
  IUnknown* client = nullptr;
  DISPID releaseIn = 0;
  bool aliveAfterRelease = false;  // the control outlived the release inside the event
  std::vector<DISPID> events;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    events.push_back(id);
    if (id == releaseIn && client != nullptr) {
      std::exchange(client, nullptr)->Release();
      aliveAfterRelease = entryPoint<CanUnloadNow>("DllCanUnloadNow")() == S_FALSE;
    }
    return S_OK;
  }
};

BOOL CALLBACK findEditor(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != tavi::win32::kEditorId) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The editor window of the only control alive (parked in its hidden window).
HWND editorOfOnlyControl() {
  HWND editor = nullptr;
  EnumChildWindows(FindWindowW(L"TaviColorTextParking", nullptr), findEditor,
                   reinterpret_cast<LPARAM>(&editor));
  return editor;
}

// The control keeps itself alive while it raises an event, whichever call raised it: the
// call returns cleanly, and the control goes once, after it.
TEST_F(ComTest, ASinkMayReleaseTheLastReferenceInsideAnEvent) {
  const auto canUnloadNow = entryPoint<CanUnloadNow>("DllCanUnloadNow");
  auto getClassObject = entryPoint<GetClassObject>("DllGetClassObject");
  dual_.Reset();
  ole_.Reset();
  control_.Reset();
  ASSERT_EQ(canUnloadNow(), S_OK);
  struct Case {
    const char* name;
    DISPID releaseIn;
    // Makes the control raise the event; answers what the call answered.
    HRESULT (*raise)(IDispatch* control);
  };
  const Case cases[] = {
      {.name = "Text put by DISPID, onChange",
       .releaseIn = 1,
       .raise =
           [](IDispatch* control) {
             Var text(L"QUEUE TO SKILLSET");
             DISPID named = DISPID_PROPERTYPUT;
             DISPPARAMS params{&text, &named, 1, 1};
             return control->Invoke(0x68030001, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                    nullptr, nullptr);
           }},
      {.name = "SelectAll through the vtable, onEvent",
       .releaseIn = 2,
       .raise =
           [](IDispatch* control) {
             Var result;
             return static_cast<_TaviColorText*>(control)->SelectAll(&result);
           }},
      {.name = "a key released in the editor, onEvent",
       .releaseIn = 2,
       .raise =
           [](IDispatch*) {
             HWND editor = editorOfOnlyControl();
             SendMessageW(editor, WM_KEYDOWN, VK_RIGHT, 1);
             SendMessageW(editor, WM_KEYUP, VK_RIGHT, static_cast<LPARAM>(0xC0000001u));
             return S_OK;
           }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsid, IID_IClassFactory, &factory), S_OK);
    _TaviColorText* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIid, reinterpret_cast<void**>(&control)), S_OK);
    factory.Reset();
    ReleasingSink sink;
    sink.client = control;
    sink.releaseIn = c.releaseIn;
    {
      ComPtr<IConnectionPointContainer> container;
      ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
      ComPtr<IConnectionPoint> point;
      ASSERT_EQ(container->FindConnectionPoint(kEventsIid, &point), S_OK);
      DWORD cookie = 0;
      ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    }
    EXPECT_EQ(c.raise(control), S_OK);
    EXPECT_EQ(sink.client, nullptr);
    EXPECT_TRUE(sink.aliveAfterRelease);
    EXPECT_EQ(canUnloadNow(), S_OK);  // the control is gone
    EXPECT_EQ(sink.refs, 1u);         // and let go of its sink once
  }
}

// A browser's security manager: every URL action it is asked gets `policy`.
struct SecurityManager final : TestObject<IInternetHostSecurityManager> {
  DWORD policy = URLPOLICY_ALLOW;
  std::vector<DWORD> asked;
  STDMETHOD(GetSecurityId)(BYTE*, DWORD*, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessUrlAction(DWORD action, BYTE* answer, DWORD size, BYTE*, DWORD,
                                             DWORD, DWORD) override {
    asked.push_back(action);
    if (size >= sizeof policy) *reinterpret_cast<DWORD*>(answer) = policy;
    return policy == URLPOLICY_ALLOW ? S_OK : S_FALSE;
  }
  STDMETHOD(QueryCustomPolicy)(REFGUID, BYTE**, DWORD*, BYTE*, DWORD, DWORD) override {
    return E_NOTIMPL;
  }
};

// A browser's client site: it offers its security manager as a service.
struct BrowserSite final : ClientSite<IServiceProvider> {
  SecurityManager security;
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** object) override {
    *object = nullptr;
    if (service != SID_SInternetHostSecurityManager) return E_NOINTERFACE;
    return security.QueryInterface(riid, object);
  }
};

// An event sink that records "change" for onChange and the id of each onEvent.
struct EventIdSink final : Sink {
  std::vector<std::wstring> events;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    events.push_back(id == 2 ? std::to_wstring(*V_I2REF(&params->rgvarg[0])) : L"change");
    return S_OK;
  }
};

void putOnClipboard(const wchar_t* text) {
  const size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// A script's Paste in a browser pastes only when the browser's security manager allows the
// script-paste action; refused, it changes nothing and reports the clipboard as closed. A
// container without a security manager lets it paste.
TEST_F(ComTest, ABrowserDecidesWhetherAScriptsPasteReadsTheClipboard) {
  putOnClipboard(L"QUIT");
  EventIdSink sink;
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(as<IConnectionPointContainer>()->FindConnectionPoint(kEventsIid, &point), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  BrowserSite browser;
  ASSERT_EQ(ole_->SetClientSite(&browser), S_OK);
  const auto paste = [&] {
    Var result, value;
    sink.events.clear();
    EXPECT_EQ(dual_->Paste(&result), S_OK);
    EXPECT_EQ(dual_->get_Value(&value), S_OK);
    return value.text();
  };

  for (const DWORD refusal : {DWORD{URLPOLICY_DISALLOW}, DWORD{URLPOLICY_QUERY}}) {
    browser.security.policy = refusal;
    EXPECT_EQ(paste(), L"") << refusal;
    EXPECT_EQ(sink.events, std::vector<std::wstring>{L"1008"}) << refusal;
  }
  EXPECT_EQ(browser.security.asked, (std::vector<DWORD>(2, URLACTION_SCRIPT_PASTE)));
  browser.security.policy = URLPOLICY_ALLOW;
  EXPECT_EQ(paste(), L"QUIT");
  EXPECT_EQ(sink.events.back(), L"1003");

  TestSite container;
  ASSERT_EQ(ole_->SetClientSite(&container), S_OK);
  EXPECT_EQ(paste(), L"QUITQUIT");
  ASSERT_EQ(ole_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(browser.refs, 1u);
  EXPECT_EQ(browser.security.refs, 1u);
  point->Unadvise(cookie);
}

}  // namespace
