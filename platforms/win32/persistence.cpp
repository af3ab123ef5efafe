// IPersistStreamInit (also answering IPersistStream) and IPersistPropertyBag. The control
// has no persisted properties of its own (the host sets everything through the dispatch
// interface after loading), so it persists only what a container needs back: its extent.
// An empty stream or bag is a new control.
#include "win32/com_control.h"
#include "win32/com_ids.h"

namespace tavi::win32 {

namespace {

// The stream record: a version, then the extent in HIMETRIC.
constexpr DWORD kStreamVersion = 1;
struct StreamRecord {
  DWORD version;
  LONG cx;
  LONG cy;
};

// The property names for the extent that containers use for every control.
constexpr const wchar_t* kExtentX = L"_ExtentX";
constexpr const wchar_t* kExtentY = L"_ExtentY";

// Reads a Long property into `value`; a property the bag does not hold leaves it alone.
HRESULT readLong(IPropertyBag* bag, const wchar_t* name, IErrorLog* log, LONG& value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  const HRESULT hr = bag->Read(name, &v, log);
  if (hr == E_INVALIDARG) return S_OK;  // not in the bag
  if (FAILED(hr)) return hr;
  const HRESULT converted = VariantChangeType(&v, &v, 0, VT_I4);
  if (SUCCEEDED(converted)) value = V_I4(&v);
  VariantClear(&v);
  return converted;
}

HRESULT writeLong(IPropertyBag* bag, const wchar_t* name, LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return bag->Write(name, &v);
}

}  // namespace

HRESULT ComControl::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = kClsid;
  return S_OK;
}

// Nothing the control persists changes behind the container's back: a container that
// sets the extent saves it when it saves itself.
HRESULT ComControl::IsDirty() { return S_FALSE; }

HRESULT ComControl::InitNew() {
  applyExtent(kDefaultExtent);
  return S_OK;
}

// A truncated record fails with STG_E_READFAULT, a record that is not the control's (an
// unknown version or an empty extent) with STG_E_INVALIDHEADER; neither changes anything.
HRESULT ComControl::Load(LPSTREAM stream) {
  if (stream == nullptr) return E_POINTER;
  StreamRecord record{};
  ULONG read = 0;
  const HRESULT hr = stream->Read(&record, sizeof record, &read);
  if (FAILED(hr)) return hr;
  if (read == 0) return InitNew();
  if (read != sizeof record) return STG_E_READFAULT;
  if (record.version != kStreamVersion || record.cx <= 0 || record.cy <= 0)
    return STG_E_INVALIDHEADER;
  applyExtent({record.cx, record.cy});
  return S_OK;
}

HRESULT ComControl::Save(LPSTREAM stream, BOOL) {
  if (stream == nullptr) return E_POINTER;
  const StreamRecord record{kStreamVersion, extent_.cx, extent_.cy};
  ULONG written = 0;
  const HRESULT hr = stream->Write(&record, sizeof record, &written);
  if (FAILED(hr)) return hr;
  return written == sizeof record ? S_OK : STG_E_WRITEFAULT;
}

HRESULT ComControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = sizeof(StreamRecord);
  return S_OK;
}

// A property that cannot be read as a Long fails the load, a size that is not positive
// with E_INVALIDARG; neither changes anything.
HRESULT ComControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) return E_POINTER;
  SIZEL extent = kDefaultExtent;
  HRESULT hr = readLong(bag, kExtentX, log, extent.cx);
  if (SUCCEEDED(hr)) hr = readLong(bag, kExtentY, log, extent.cy);
  if (FAILED(hr)) return hr;
  if (extent.cx <= 0 || extent.cy <= 0) return E_INVALIDARG;
  applyExtent(extent);
  return S_OK;
}

HRESULT ComControl::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (bag == nullptr) return E_POINTER;
  const HRESULT hr = writeLong(bag, kExtentX, extent_.cx);
  return FAILED(hr) ? hr : writeLong(bag, kExtentY, extent_.cy);
}

}  // namespace tavi::win32
