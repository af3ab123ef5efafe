// Registration of the control: the class (in-process server, apartment threading, its
// ProgID, type library and the "safe for scripting" and "safe for initialising" component
// categories), the ProgID and the type library.
#pragma once

#include <windows.h>

namespace tavi::win32 {

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace tavi::win32
