// The DLL's own bookkeeping: its module handle, and the count of live objects and server
// locks that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

namespace tavi::win32 {

HMODULE moduleHandle();
void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnload();

// The type library embedded in the DLL (loaded once, not registered); null on failure.
ITypeLib* typeLibrary();

}  // namespace tavi::win32
