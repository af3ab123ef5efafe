// TaviColorTxt.dll as a container and a compiled client see it: loaded from the build
// folder and created through DllGetClassObject (no registration), then driven through its
// dual vtable, its enumerators, its persistence interfaces and in-place activation in a
// window of the test's own.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "TaviColorTxt_h.h"
#include "win32/com_ids.h"

namespace {

using tavi::win32::kClsid;
using tavi::win32::kEventsIid;
using tavi::win32::kIid;

// A reference to a COM interface, released at the end of its scope.
template <typename T>
class Ref {
 public:
  Ref() = default;
  ~Ref() { reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** out() {
    reset();
    return &p_;
  }
  void** outVoid() { return reinterpret_cast<void**>(out()); }
  void reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

struct Bstr {
  BSTR b;
  explicit Bstr(const wchar_t* text) : b(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(b); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
};

std::wstring textOf(BSTR b) { return b != nullptr ? std::wstring(b, SysStringLen(b)) : L""; }

// Takes a VARIANT's string and clears it.
std::wstring take(VARIANT& v) {
  std::wstring text = V_VT(&v) == VT_BSTR ? textOf(V_BSTR(&v)) : L"<not a string>";
  VariantClear(&v);
  return text;
}

VARIANT stringVariant(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

HMODULE g_dll = nullptr;

// An entry point of the DLL (void (*)() is the cast GCC allows between function types).
template <typename F>
F entryPoint(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(g_dll, name)));
}

// The DLL next to the test program.
HMODULE loadControlDll() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"TaviColorTxt.dll";
  return LoadLibraryW(dll.c_str());
}

class ComTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    g_dll = loadControlDll();
  }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_NE(g_dll, nullptr) << "TaviColorTxt.dll not found next to the test program";
    auto getClassObject = entryPoint<GetClassObject>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    Ref<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsid, IID_IClassFactory, factory.outVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, control_.outVoid()), S_OK);
    ASSERT_EQ(control_->QueryInterface(kIid, dual_.outVoid()), S_OK);
  }

  template <typename T>
  void query(REFIID iid, Ref<T>& out) {
    ASSERT_EQ(control_->QueryInterface(iid, out.outVoid()), S_OK);
  }

  SIZEL extent() {
    Ref<IOleObject> ole;
    query(IID_IOleObject, ole);
    SIZEL size{};
    EXPECT_EQ(ole->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    return size;
  }
  void setExtent(SIZEL size) {
    Ref<IOleObject> ole;
    query(IID_IOleObject, ole);
    EXPECT_EQ(ole->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  }

  Ref<IUnknown> control_;
  Ref<_TaviColorText> dual_;
};

TEST_F(ComTest, EveryInterfaceAnswersWithTheSameIdentity) {
  const IID interfaces[] = {IID_IDispatch,
                            kIid,
                            IID_IProvideClassInfo,
                            IID_IProvideClassInfo2,
                            IID_IConnectionPointContainer,
                            IID_IObjectSafety,
                            IID_ISupportErrorInfo,
                            IID_IOleObject,
                            IID_IOleWindow,
                            IID_IOleInPlaceObject,
                            IID_IOleInPlaceActiveObject,
                            IID_IOleControl,
                            IID_IViewObject,
                            IID_IViewObject2,
                            IID_IPersist,
                            IID_IPersistStream,
                            IID_IPersistStreamInit,
                            IID_IPersistPropertyBag};
  for (const IID& iid : interfaces) {
    wchar_t name[40];
    StringFromGUID2(iid, name, 40);
    Ref<IUnknown> asked;
    ASSERT_EQ(control_->QueryInterface(iid, asked.outVoid()), S_OK) << name;
    Ref<IUnknown> identity;
    ASSERT_EQ(asked->QueryInterface(IID_IUnknown, identity.outVoid()), S_OK) << name;
    EXPECT_EQ(identity.get(), control_.get()) << name;
  }
  Ref<IUnknown> none;
  EXPECT_EQ(control_->QueryInterface(IID_IOleCache, none.outVoid()), E_NOINTERFACE);
  EXPECT_EQ(none.get(), nullptr);
}

TEST_F(ComTest, DualInterfaceLoadsAndReadsTheText) {
  VARIANT text = stringVariant(L"IF A THEN\nEND IF");
  ASSERT_EQ(dual_->put_Text(text), S_OK);
  VariantClear(&text);
  VARIANT value;
  ASSERT_EQ(dual_->get_Value(&value), S_OK);
  EXPECT_EQ(take(value), L"IF A THEN\r\nEND IF");
  VARIANT length;
  ASSERT_EQ(dual_->get_Length(&length), S_OK);
  EXPECT_EQ(V_VT(&length), VT_I4);
  EXPECT_EQ(V_I4(&length), 15);

  // FindSE_New selects what it finds and answers "" for it.
  VARIANT find = stringVariant(L"end");
  VARIANT_BOOL matchCase = VARIANT_FALSE;
  VARIANT_BOOL up = VARIANT_FALSE;
  BSTR found = nullptr;
  ASSERT_EQ(dual_->FindSE_New(&find, &matchCase, &up, &found), S_OK);
  EXPECT_EQ(textOf(found), L"");
  SysFreeString(found);
  VariantClear(&find);
  VARIANT selection;
  ASSERT_EQ(dual_->get_Text(&selection), S_OK);
  EXPECT_EQ(take(selection), L"END");
}

TEST_F(ComTest, DualInterfaceWritesByRefResultsBack) {
  Bstr oldText(L"abcdef");
  Bstr newText(L"abXYef");
  LONG start = 0;
  LONG changeNum = 0;
  BSTR removed = nullptr;
  ASSERT_EQ(dual_->change(oldText.b, newText.b, &start, &changeNum, &removed), S_OK);
  EXPECT_EQ(textOf(removed), L"cd");
  EXPECT_EQ(start, 2);
  EXPECT_EQ(changeNum, 2);
  SysFreeString(removed);

  EXPECT_EQ(dual_->change(oldText.b, newText.b, nullptr, &changeNum, &removed), E_POINTER);
  EXPECT_EQ(dual_->get_Value(nullptr), E_POINTER);
}

TEST_F(ComTest, DualInterfaceErrorsCarryTheRuntimeNumberAndAnErrorObject) {
  Ref<ISupportErrorInfo> support;
  query(IID_ISupportErrorInfo, support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(kIid), S_OK);

  VARIANT maybe = stringVariant(L"maybe");
  EXPECT_EQ(dual_->put_KeywordHighlight_flag(maybe), static_cast<HRESULT>(0x800A000D));
  VariantClear(&maybe);
  Ref<IErrorInfo> error;
  ASSERT_EQ(GetErrorInfo(0, error.out()), S_OK);
  BSTR description = nullptr;
  BSTR source = nullptr;
  error->GetDescription(&description);
  error->GetSource(&source);
  EXPECT_EQ(textOf(description), L"Type mismatch");
  EXPECT_EQ(textOf(source), L"TaviColorTxt.TaviColorText");
  SysFreeString(description);
  SysFreeString(source);
  // The flag kept its value.
  VARIANT flag;
  ASSERT_EQ(dual_->get_KeywordHighlight_flag(&flag), S_OK);
  EXPECT_EQ(V_VT(&flag), VT_BOOL);
  EXPECT_EQ(V_BOOL(&flag), VARIANT_FALSE);

  LONG line = 0;
  LONG startPos = 0;
  VARIANT result;
  EXPECT_EQ(dual_->HighlightLine(&line, &startPos, &result), static_cast<HRESULT>(0x800A0009));
  EXPECT_EQ(V_VT(&result), VT_EMPTY);
}

// Each public variable through the vtable reaches the same member as through IDispatch:
// a value put one way reads back the other way.
TEST_F(ComTest, VtablePropertiesMatchTheDispatchInterface) {
  auto dispatchId = [&](const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(dual_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    return id;
  };
  auto dispatchGet = [&](const wchar_t* name, VARTYPE type) {
    DISPPARAMS none{};
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(dual_->Invoke(dispatchId(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                            &none, &v, nullptr, nullptr),
              S_OK)
        << name;
    EXPECT_EQ(VariantChangeType(&v, &v, 0, type), S_OK) << name;
    return v;
  };
  auto dispatchPut = [&](const wchar_t* name, VARIANT value) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    EXPECT_EQ(dual_->Invoke(dispatchId(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                            &params, nullptr, nullptr, nullptr),
              S_OK)
        << name;
  };

  using BoolGet = HRESULT (STDMETHODCALLTYPE _TaviColorText::*)(VARIANT_BOOL*);
  using BoolPut = HRESULT (STDMETHODCALLTYPE _TaviColorText::*)(VARIANT_BOOL);
  struct BoolProperty {
    const wchar_t* name;
    BoolGet get;
    BoolPut put;
  };
  const BoolProperty booleans[] = {
      {L"CtlKey", &_TaviColorText::get_CtlKey, &_TaviColorText::put_CtlKey},
      {L"m_bKeywordHighlight", &_TaviColorText::get_m_bKeywordHighlight,
       &_TaviColorText::put_m_bKeywordHighlight},
      {L"m_bChange", &_TaviColorText::get_m_bChange, &_TaviColorText::put_m_bChange},
      {L"bFind", &_TaviColorText::get_bFind, &_TaviColorText::put_bFind},
      {L"m_bLock", &_TaviColorText::get_m_bLock, &_TaviColorText::put_m_bLock},
      {L"m_bFirstTime", &_TaviColorText::get_m_bFirstTime, &_TaviColorText::put_m_bFirstTime},
      {L"m_bSelect", &_TaviColorText::get_m_bSelect, &_TaviColorText::put_m_bSelect},
  };
  for (const BoolProperty& p : booleans) {
    for (VARIANT_BOOL value : {VARIANT_TRUE, VARIANT_FALSE}) {
      ASSERT_EQ((dual_.get()->*p.put)(value), S_OK) << p.name;
      VARIANT read = dispatchGet(p.name, VT_BOOL);
      EXPECT_EQ(V_BOOL(&read), value) << p.name;
      VARIANT put;
      V_VT(&put) = VT_BOOL;
      V_BOOL(&put) = value == VARIANT_TRUE ? VARIANT_FALSE : VARIANT_TRUE;
      dispatchPut(p.name, put);
      VARIANT_BOOL back = 0;
      ASSERT_EQ((dual_.get()->*p.get)(&back), S_OK) << p.name;
      EXPECT_EQ(back, V_BOOL(&put)) << p.name;
    }
  }

  using StringGet = HRESULT (STDMETHODCALLTYPE _TaviColorText::*)(BSTR*);
  using StringPut = HRESULT (STDMETHODCALLTYPE _TaviColorText::*)(BSTR);
  struct StringProperty {
    const wchar_t* name;
    StringGet get;
    StringPut put;
  };
  const StringProperty strings[] = {
      {L"m_FindText", &_TaviColorText::get_m_FindText, &_TaviColorText::put_m_FindText},
      {L"m_strLang", &_TaviColorText::get_m_strLang, &_TaviColorText::put_m_strLang},
      {L"m_strScriptEditor", &_TaviColorText::get_m_strScriptEditor,
       &_TaviColorText::put_m_strScriptEditor},
      {L"m_strMaximumSize", &_TaviColorText::get_m_strMaximumSize,
       &_TaviColorText::put_m_strMaximumSize},
      {L"m_strPrintErr", &_TaviColorText::get_m_strPrintErr, &_TaviColorText::put_m_strPrintErr},
      {L"m_strFinishSearch", &_TaviColorText::get_m_strFinishSearch,
       &_TaviColorText::put_m_strFinishSearch},
      {L"m_strNotFoundText", &_TaviColorText::get_m_strNotFoundText,
       &_TaviColorText::put_m_strNotFoundText},
      {L"m_strPopUpMenu", &_TaviColorText::get_m_strPopUpMenu, &_TaviColorText::put_m_strPopUpMenu},
  };
  for (const StringProperty& p : strings) {
    const std::wstring mine = std::wstring(L"vtable ") + p.name;
    Bstr value(mine.c_str());
    ASSERT_EQ((dual_.get()->*p.put)(value.b), S_OK) << p.name;
    VARIANT read = dispatchGet(p.name, VT_BSTR);
    EXPECT_EQ(take(read), mine);
    const std::wstring theirs = std::wstring(L"dispatch ") + p.name;
    VARIANT put = stringVariant(theirs.c_str());
    dispatchPut(p.name, put);
    VariantClear(&put);
    BSTR back = nullptr;
    ASSERT_EQ((dual_.get()->*p.get)(&back), S_OK) << p.name;
    EXPECT_EQ(textOf(back), theirs);
    SysFreeString(back);
  }

  ASSERT_EQ(dual_->put_m_MaxLen(1234), S_OK);
  VARIANT maxLen = dispatchGet(L"m_MaxLen", VT_I4);
  EXPECT_EQ(V_I4(&maxLen), 1234);
  VARIANT length;
  V_VT(&length) = VT_I4;
  V_I4(&length) = 77;
  ASSERT_EQ(dual_->put_Length(length), S_OK);  // Length (put) stores the maximum length
  LONG back = 0;
  ASSERT_EQ(dual_->get_m_MaxLen(&back), S_OK);
  EXPECT_EQ(back, 77);
}

// An event sink of the test's own: it records the DISPIDs of the events it is sent.
class RecordingSink final : public IDispatch {
 public:
  std::vector<DISPID> events;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid != IID_IUnknown && riid != IID_IDispatch) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    events.push_back(id);
    return S_OK;
  }
  ULONG refs() const { return refs_; }

 private:
  ULONG refs_ = 1;  // the test's own reference
};

TEST_F(ComTest, EnumeratorsWalkTheConnectionPointsAndConnections) {
  Ref<IConnectionPointContainer> container;
  query(IID_IConnectionPointContainer, container);
  Ref<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.out()), S_OK);
  Ref<IConnectionPoint> point;
  ULONG fetched = 0;
  ASSERT_EQ(points->Next(1, point.out(), &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  IID iid{};
  point->GetConnectionInterface(&iid);
  EXPECT_EQ(iid, kEventsIid);
  Ref<IConnectionPoint> beyond;
  EXPECT_EQ(points->Next(1, beyond.out(), &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(points->Reset(), S_OK);
  EXPECT_EQ(points->Skip(1), S_OK);
  EXPECT_EQ(points->Skip(1), S_FALSE);
  Ref<IEnumConnectionPoints> clone;
  points->Reset();
  ASSERT_EQ(points->Clone(clone.out()), S_OK);
  ASSERT_EQ(clone->Next(1, beyond.out(), nullptr), S_OK);
  EXPECT_EQ(beyond.get(), point.get());

  RecordingSink first, second;
  DWORD cookies[2] = {};
  ASSERT_EQ(point->Advise(&first, &cookies[0]), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookies[1]), S_OK);
  Ref<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.out()), S_OK);
  CONNECTDATA data[3] = {};
  ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].dwCookie, cookies[0]);
  EXPECT_EQ(data[1].dwCookie, cookies[1]);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  // A clone goes on from where its original stands.
  connections->Reset();
  connections->Skip(1);
  Ref<IEnumConnections> rest;
  ASSERT_EQ(connections->Clone(rest.out()), S_OK);
  ASSERT_EQ(rest->Next(1, data, nullptr), S_OK);
  EXPECT_EQ(data[0].dwCookie, cookies[1]);
  data[0].pUnk->Release();

  // Events reach both sinks; a frozen container gets none.
  VARIANT text = stringVariant(L"IF");
  ASSERT_EQ(dual_->put_Text(text), S_OK);
  EXPECT_EQ(first.events, std::vector<DISPID>{1});
  EXPECT_EQ(second.events, std::vector<DISPID>{1});
  Ref<IOleControl> control;
  query(IID_IOleControl, control);
  control->FreezeEvents(TRUE);
  ASSERT_EQ(dual_->put_Text(text), S_OK);
  control->FreezeEvents(FALSE);
  EXPECT_EQ(first.events.size(), 1u);
  VariantClear(&text);

  EXPECT_EQ(point->Unadvise(cookies[0]), S_OK);
  EXPECT_EQ(point->Unadvise(cookies[0]), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(point->EnumConnections(connections.out()), S_OK);
  ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  data[0].pUnk->Release();
  EXPECT_EQ(point->Unadvise(cookies[1]), S_OK);
  connections.reset();
  rest.reset();
  EXPECT_EQ(first.refs(), 1u);
  EXPECT_EQ(second.refs(), 1u);
}

TEST_F(ComTest, StreamKeepsTheExtent) {
  setExtent({4000, 3000});
  Ref<IPersistStreamInit> persist;
  query(IID_IPersistStreamInit, persist);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  CLSID clsid{};
  persist->GetClassID(&clsid);
  EXPECT_EQ(clsid, kClsid);
  Ref<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), S_OK);
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  ULARGE_INTEGER size{};
  persist->GetSizeMax(&size);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  EXPECT_EQ(stat.cbSize.QuadPart, size.QuadPart);

  const LARGE_INTEGER start{};
  setExtent({100, 100});
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  Ref<IPersistStream> plain;  // the same load through IPersistStream
  query(IID_IPersistStream, plain);
  ASSERT_EQ(plain->Load(stream.get()), S_OK);
  EXPECT_EQ(extent().cx, 4000);
  EXPECT_EQ(extent().cy, 3000);

  // An empty stream is a new control; a record that is not the control's changes nothing.
  Ref<IStream> empty;
  CreateStreamOnHGlobal(nullptr, TRUE, empty.out());
  ASSERT_EQ(persist->Load(empty.get()), S_OK);
  EXPECT_EQ(extent().cx, tavi::win32::kDefaultExtent.cx);
  struct {
    const char* name;
    std::vector<DWORD> record;
    HRESULT expected;
  } const bad[] = {
      {"truncated", {1, 4000}, STG_E_READFAULT},
      {"unknown version", {7, 4000, 3000}, STG_E_INVALIDHEADER},
      {"empty extent", {1, 0, 3000}, STG_E_INVALIDHEADER},
  };
  for (const auto& c : bad) {
    Ref<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.out());
    s->Write(c.record.data(), static_cast<ULONG>(c.record.size() * sizeof(DWORD)), nullptr);
    s->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(s.get()), c.expected) << c.name;
    EXPECT_EQ(extent().cx, tavi::win32::kDefaultExtent.cx) << c.name;
  }
}

// A property bag of the test's own, holding its values by name.
class MapBag final : public IPropertyBag {
 public:
  std::map<std::wstring, VARIANT> values;
  ~MapBag() {
    for (auto& [name, v] : values) VariantClear(&v);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid != IID_IUnknown && riid != IID_IPropertyBag) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto it = values.find(name);
    if (it == values.end()) return E_INVALIDARG;
    const VARTYPE wanted = V_VT(value);
    VariantInit(value);
    return VariantChangeType(value, &it->second, 0, wanted);
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
    VARIANT copy;
    VariantInit(&copy);
    VariantCopy(&copy, value);
    VariantClear(&values[name]);
    values[name] = copy;
    return S_OK;
  }
};

TEST_F(ComTest, PropertyBagKeepsTheExtent) {
  Ref<IPersistPropertyBag> persist;
  query(IID_IPersistPropertyBag, persist);
  setExtent({5000, 2500});
  MapBag bag;
  ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
  ASSERT_EQ(bag.values.size(), 2u);
  EXPECT_EQ(V_I4(&bag.values[L"_ExtentX"]), 5000);
  EXPECT_EQ(V_I4(&bag.values[L"_ExtentY"]), 2500);

  setExtent({100, 100});
  ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(extent().cx, 5000);
  EXPECT_EQ(extent().cy, 2500);

  MapBag empty;
  ASSERT_EQ(persist->Load(&empty, nullptr), S_OK);
  EXPECT_EQ(extent().cy, tavi::win32::kDefaultExtent.cy);

  MapBag wrong;
  wrong.values[L"_ExtentX"] = stringVariant(L"wide");
  EXPECT_EQ(persist->Load(&wrong, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(extent().cx, tavi::win32::kDefaultExtent.cx);
}

TEST_F(ComTest, OleObjectDescribesAControl) {
  Ref<IOleObject> ole;
  query(IID_IOleObject, ole);
  DWORD status = 0;
  ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  for (DWORD flag : std::initializer_list<DWORD>{OLEMISC_RECOMPOSEONRESIZE, OLEMISC_CANTLINKINSIDE,
                                                 OLEMISC_INSIDEOUT, OLEMISC_ACTIVATEWHENVISIBLE,
                                                 OLEMISC_SETCLIENTSITEFIRST})
    EXPECT_NE(status & flag, 0u) << flag;
  CLSID clsid{};
  ASSERT_EQ(ole->GetUserClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, kClsid);
  SIZEL wrongAspect{1, 1};
  EXPECT_EQ(ole->SetExtent(DVASPECT_ICON, &wrongAspect), DV_E_DVASPECT);

  Ref<IOleControl> control;
  query(IID_IOleControl, control);
  CONTROLINFO info{};
  info.cb = sizeof info;
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.cAccel, 0);

  // The control draws its picture into a device context of the container's.
  Ref<IViewObject2> view;
  query(IID_IViewObject2, view);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECTL bounds{0, 0, 200, 100};
  EXPECT_EQ(
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      S_OK);
  EXPECT_EQ(
      view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      DV_E_DVASPECT);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  SIZEL size{};
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size), S_OK);
  EXPECT_EQ(size.cx, tavi::win32::kDefaultExtent.cx);
}

// A minimal container site: the control is placed at `position` in `window`; the calls the
// control makes on the site are recorded by name.
class TestSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  HWND window = nullptr;
  RECT position{};
  std::vector<std::string> calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
      *object = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
      *object = static_cast<IOleInPlaceSite*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  ULONG refs() const { return refs_; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override {
    *m = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
    *c = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override {
    *w = window;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return record("OnInPlaceActivate"); }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return record("OnUIActivate"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT pos, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *doc = nullptr;
    *pos = position;
    GetClientRect(window, clip);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return record("OnUIDeactivate"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return record("OnInPlaceDeactivate"); }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  HRESULT record(const char* call) {
    calls.push_back(call);
    return S_OK;
  }
  ULONG refs_ = 1;  // the test's own reference
};

// The control's rectangle in its parent's client area.
RECT placeOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
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

TEST_F(ComTest, InPlaceActivationPutsTheControlInTheContainersWindow) {
  HWND container = CreateWindowExW(0, L"STATIC", L"container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                   0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(container, nullptr);
  TestSite site;
  site.window = container;
  site.position = {10, 20, 310, 220};

  Ref<IOleObject> ole;
  query(IID_IOleObject, ole);
  ASSERT_EQ(ole->SetClientSite(&site), S_OK);
  ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, -1, container, &site.position),
            S_OK);
  Ref<IOleInPlaceObject> inPlace;
  query(IID_IOleInPlaceObject, inPlace);
  HWND window = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_EQ(GetParent(window), container);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT place = placeOf(window);
  EXPECT_TRUE(EqualRect(&place, &site.position));
  EXPECT_EQ(site.calls, std::vector<std::string>{"OnInPlaceActivate"});

  const RECT moved{30, 40, 430, 340};
  RECT clip;
  GetClientRect(container, &clip);
  ASSERT_EQ(inPlace->SetObjectRects(&moved, &clip), S_OK);
  place = placeOf(window);
  EXPECT_TRUE(EqualRect(&place, &moved));

  // A click into the control UI-activates it.
  clickAtCentreOf(window);
  EXPECT_EQ(site.calls.back(), "OnUIActivate");
  ASSERT_EQ(inPlace->UIDeactivate(), S_OK);
  EXPECT_EQ(site.calls.back(), "OnUIDeactivate");

  // So does the verb, and the editor gets the keyboard focus.
  ASSERT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, -1, container, &moved), S_OK);
  EXPECT_EQ(site.calls.back(), "OnUIActivate");
  EXPECT_TRUE(IsChild(window, GetFocus()));

  ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(site.calls,
            (std::vector<std::string>{"OnInPlaceActivate", "OnUIActivate", "OnUIDeactivate",
                                      "OnUIActivate", "OnUIDeactivate", "OnInPlaceDeactivate"}));
  EXPECT_FALSE(IsChild(container, window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);

  // The control still works without a container, and lets go of the site when closed.
  VARIANT text = stringVariant(L"QUEUE TO SKILLSET");
  ASSERT_EQ(dual_->put_Text(text), S_OK);
  VariantClear(&text);
  ASSERT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
  ASSERT_EQ(ole->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(site.refs(), 1u);
  DestroyWindow(container);
}

TEST_F(ComTest, TheDllCanUnloadOnceEveryObjectIsGone) {
  auto canUnload = entryPoint<CanUnloadNow>("DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  Ref<IConnectionPointContainer> container;
  query(IID_IConnectionPointContainer, container);
  Ref<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.out()), S_OK);
  container.reset();
  dual_.reset();
  control_.reset();
  EXPECT_EQ(canUnload(), S_FALSE);  // the enumerator holds the connection point
  points.reset();
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
