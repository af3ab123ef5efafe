#include "win32/registration.h"

#include <string>

#include "win32/com_ids.h"
#include "win32/module.h"

namespace tavi::win32 {

namespace {

constexpr const wchar_t* kDescription = L"TaviColorText Control";

// The component categories of controls that are safe for scripting and for initialising.
constexpr GUID kCatidSafeForScripting = {
    0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
constexpr GUID kCatidSafeForInitializing = {
    0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

std::wstring guidText(const GUID& guid) {
  wchar_t buffer[40];
  StringFromGUID2(guid, buffer, 40);
  return buffer;
}

// Creates HKCR\<key> and sets its value `name` (the default value when empty).
HRESULT setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &handle, nullptr);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  rc = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return HRESULT_FROM_WIN32(rc);
}

HRESULT deleteTree(const std::wstring& key) {
  const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

// The category's description, written only where the category is not registered yet.
HRESULT defineCategory(const GUID& catid, const wchar_t* description) {
  const std::wstring key = L"Component Categories\\" + guidText(catid);
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    RegCloseKey(handle);
    return S_OK;
  }
  return setValue(key, L"409", description);
}

}  // namespace

HRESULT registerServer() {
  wchar_t path[MAX_PATH];
  if (GetModuleFileNameW(moduleHandle(), path, MAX_PATH) == 0)
    return HRESULT_FROM_WIN32(GetLastError());
  const std::wstring clsidKey = L"CLSID\\" + guidText(kClsid);
  const std::wstring progId = kProgId;
  const HRESULT steps[] = {
      setValue(clsidKey, L"", kDescription),
      setValue(clsidKey + L"\\InprocServer32", L"", path),
      setValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
      setValue(clsidKey + L"\\ProgID", L"", progId),
      setValue(clsidKey + L"\\TypeLib", L"", guidText(kLibId)),
      setValue(clsidKey + L"\\Version", L"",
               std::to_wstring(kLibMajor) + L"." + std::to_wstring(kLibMinor)),
      // An ActiveX control: containers list it by the "Control" key and site it by its
      // MiscStatus without creating it first.
      setValue(clsidKey + L"\\Control", L"", L""),
      setValue(clsidKey + L"\\MiscStatus", L"", L"0"),
      setValue(clsidKey + L"\\MiscStatus\\1", L"", std::to_wstring(kMiscStatus)),
      setValue(clsidKey + L"\\Implemented Categories\\" + guidText(kCatidSafeForScripting), L"",
               L""),
      setValue(clsidKey + L"\\Implemented Categories\\" + guidText(kCatidSafeForInitializing), L"",
               L""),
      setValue(progId, L"", kDescription),
      setValue(progId + L"\\CLSID", L"", guidText(kClsid)),
      defineCategory(kCatidSafeForScripting, L"Controls safely scriptable!"),
      defineCategory(kCatidSafeForInitializing,
                     L"Controls safely initializable from persistent data!"),
  };
  for (HRESULT hr : steps)
    if (FAILED(hr)) return hr;
  ITypeLib* library = typeLibrary();
  if (library == nullptr) return TYPE_E_CANTLOADLIBRARY;
  return RegisterTypeLib(library, path, nullptr);
}

HRESULT unregisterServer() {
  const HRESULT classes = deleteTree(L"CLSID\\" + guidText(kClsid));
  const HRESULT progId = deleteTree(kProgId);
  const HRESULT library = UnRegisterTypeLib(kLibId, kLibMajor, kLibMinor, LOCALE_NEUTRAL,
                                            sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  if (FAILED(classes)) return classes;
  if (FAILED(progId)) return progId;
  // A library that was never registered is not an error of unregistering.
  return library == TYPE_E_REGISTRYACCESS || library == TYPE_E_CANTLOADLIBRARY ? S_OK : library;
}

}  // namespace tavi::win32
