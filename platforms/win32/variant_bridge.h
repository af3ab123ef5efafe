// Conversion between OLE VARIANTs and the core's Variant, at the edge of the COM object.
#pragma once

#include <windows.h>

#include "shell/dispatch.h"
#include "shell/variant.h"

namespace tavi::win32 {

// Reads an argument, following VT_BYREF, keeping the value's own kind so that the member's
// parameter type alone decides the conversion: an object is its default value (DISPID_VALUE),
// other integer types stay exact numbers, and the rest are what the system makes of them as
// a String (or failing that a Double); a value that is neither gives type mismatch (13).
Variant fromVariant(const VARIANT& in);
// Writes `value` into `out` (which must be empty), typed as the member's result type.
void toVariant(const Variant& value, ResultType type, VARIANT* out);
// Writes a ByRef result back into the caller's argument: through VT_BYREF|VT_VARIANT as
// the value's own type, through another VT_BYREF coerced to the referenced type. An
// argument passed by value is left alone.
void writeBack(const Variant& value, VARIANT& argument);

BSTR toBstr(TextView text);
Text fromBstr(BSTR b);

}  // namespace tavi::win32
