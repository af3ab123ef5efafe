// The DLL's entry points: DllMain, DllGetClassObject, DllCanUnloadNow, DllRegisterServer
// and DllUnregisterServer, and the class factory of TaviColorText.
#include "win32/module.h"

#include <exception>
#include <new>

#include "win32/com_control.h"
#include "win32/com_ids.h"
#include "win32/registration.h"

namespace tavi::win32 {

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // The factory is static: it lives as long as the DLL.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    ComControl* control = nullptr;
    try {
      control = new ComControl();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const std::exception&) {
      // The control's windows could not be created.
      return E_FAIL;
    }
    const HRESULT hr = control->QueryInterface(riid, object);
    control->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lockServer(lock != FALSE);
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

HMODULE moduleHandle() { return g_module; }
void objectCreated() { InterlockedIncrement(&g_objects); }
void objectDestroyed() { InterlockedDecrement(&g_objects); }
void lockServer(bool lock) {
  if (lock)
    InterlockedIncrement(&g_locks);
  else
    InterlockedDecrement(&g_locks);
}
bool canUnload() { return g_objects == 0 && g_locks == 0; }

ITypeLib* typeLibrary() {
  // Apartment threading: every object of a thread uses the library of that thread.
  thread_local ITypeLib* library = nullptr;
  if (library == nullptr) {
    wchar_t path[MAX_PATH];
    if (GetModuleFileNameW(g_module, path, MAX_PATH) == 0) return nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &library))) library = nullptr;
  }
  return library;
}

}  // namespace tavi::win32

using namespace tavi::win32;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return canUnload() ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return registerServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return unregisterServer(); }
