#include "win32/variant_bridge.h"

#include <cstdint>

#include "shell/runtime_error.h"

namespace tavi::win32 {

namespace {

// Owns a VARIANT for the length of a scope.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

Variant fromDirect(const VARIANT& v, int depth);

// An object stands for its default value: its DISPID_VALUE read as a property, the value
// VariantChangeType converts when it is asked for a string or a number. That value keeps
// its own type, so the member's parameter type decides what it becomes ("007" stays a
// string for a String member). A value that is again an object is followed a few times
// only, so that an object answering itself cannot loop; no value is a type mismatch (13).
Variant fromObject(IDispatch* object, int depth) {
  constexpr int kMaxDepth = 4;
  if (object == nullptr || depth >= kMaxDepth) throw RuntimeError(err::kTypeMismatch);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ScopedVariant value;
  if (FAILED(object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                            &none, &value.v, nullptr, nullptr)))
    throw RuntimeError(err::kTypeMismatch);
  if ((V_VT(&value.v) & VT_BYREF) != 0) {
    ScopedVariant direct;
    if (FAILED(VariantCopyInd(&direct.v, &value.v))) throw RuntimeError(err::kTypeMismatch);
    return fromDirect(direct.v, depth + 1);
  }
  return fromDirect(value.v, depth + 1);
}

// Integers of the types the core has no case for keep their exact value: as a Long where
// they fit, else as Currency (which writes every digit), else as a Double.
Variant fromInteger(int64_t value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return Variant::fromI4(static_cast<int32_t>(value));
  constexpr int64_t kCurrencyWhole = INT64_MAX / 10000;
  if (value >= -kCurrencyWhole && value <= kCurrencyWhole)
    return Variant::fromCurrency(Currency{value * 10000});
  return Variant::fromR8(static_cast<double>(value));
}

Variant fromDirect(const VARIANT& v, int depth) {
  switch (V_VT(&v)) {
    case VT_EMPTY:
      return Variant();
    case VT_NULL:
      return Variant::null();
    case VT_I2:
      return Variant::fromI2(V_I2(&v));
    case VT_I4:
      return Variant::fromI4(V_I4(&v));
    case VT_R4:
      return Variant::fromR4(V_R4(&v));
    case VT_R8:
      return Variant::fromR8(V_R8(&v));
    case VT_CY:
      return Variant::fromCurrency(Currency{V_CY(&v).int64});
    case VT_DATE:
      return Variant::fromDate(Date{V_DATE(&v)});
    case VT_BSTR:
      return Variant::fromString(fromBstr(V_BSTR(&v)));
    case VT_BOOL:
      return Variant::fromVBool(V_BOOL(&v));
    case VT_DISPATCH:
      return fromObject(V_DISPATCH(&v), depth);
    case VT_I1:
      return fromInteger(V_I1(&v));
    case VT_UI1:
      return fromInteger(V_UI1(&v));
    case VT_UI2:
      return fromInteger(V_UI2(&v));
    case VT_UI4:
      return fromInteger(V_UI4(&v));
    case VT_INT:
      return fromInteger(V_INT(&v));
    case VT_UINT:
      return fromInteger(V_UINT(&v));
    case VT_I8:
      return fromInteger(V_I8(&v));
    case VT_UI8:
      if (V_UI8(&v) <= static_cast<ULONGLONG>(INT64_MAX))
        return fromInteger(static_cast<int64_t>(V_UI8(&v)));
      return Variant::fromR8(static_cast<double>(V_UI8(&v)));
    default:
      break;
  }
  // Anything else (a Decimal, an array, an error value) as the system makes it a string
  // or, failing that, a number; a value that is neither is a type mismatch (13).
  ScopedVariant coerced;
  if (SUCCEEDED(VariantChangeType(&coerced.v, const_cast<VARIANT*>(&v), 0, VT_BSTR)))
    return Variant::fromString(fromBstr(V_BSTR(&coerced.v)));
  if (SUCCEEDED(VariantChangeType(&coerced.v, const_cast<VARIANT*>(&v), 0, VT_R8)))
    return Variant::fromR8(V_R8(&coerced.v));
  throw RuntimeError(err::kTypeMismatch);
}

}  // namespace

BSTR toBstr(TextView text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
}

Text fromBstr(BSTR b) {
  if (b == nullptr) return Text();
  return Text(reinterpret_cast<const char16_t*>(b), SysStringLen(b));
}

Variant fromVariant(const VARIANT& in) {
  if (V_VT(&in) == (VT_BYREF | VT_VARIANT)) return fromVariant(*V_VARIANTREF(&in));
  if ((V_VT(&in) & VT_BYREF) == 0) return fromDirect(in, 0);
  ScopedVariant direct;
  if (FAILED(VariantCopyInd(&direct.v, const_cast<VARIANT*>(&in))))
    throw RuntimeError(err::kTypeMismatch);
  return fromDirect(direct.v, 0);
}

void toVariant(const Variant& value, ResultType type, VARIANT* out) {
  switch (type) {
    case ResultType::None:
      return;
    case ResultType::Boolean:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.toBool();
      return;
    case ResultType::Long:
      V_VT(out) = VT_I4;
      V_I4(out) = value.toI4();
      return;
    case ResultType::String:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = toBstr(value.toText());
      return;
    case ResultType::Variant:
      break;
  }
  switch (value.type()) {
    case VarType::Empty:
      V_VT(out) = VT_EMPTY;
      return;
    case VarType::Null:
      V_VT(out) = VT_NULL;
      return;
    case VarType::I2:
      V_VT(out) = VT_I2;
      V_I2(out) = value.i2();
      return;
    case VarType::I4:
      V_VT(out) = VT_I4;
      V_I4(out) = value.i4();
      return;
    case VarType::R4:
      V_VT(out) = VT_R4;
      V_R4(out) = value.r4();
      return;
    case VarType::R8:
      V_VT(out) = VT_R8;
      V_R8(out) = value.r8();
      return;
    case VarType::CY:
      V_VT(out) = VT_CY;
      V_CY(out).int64 = value.cy().scaled;
      return;
    case VarType::DATE:
      V_VT(out) = VT_DATE;
      V_DATE(out) = value.date().days;
      return;
    case VarType::BSTR:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = toBstr(value.str());
      return;
    case VarType::BOOL:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.boolValue();
      return;
  }
}

void writeBack(const Variant& value, VARIANT& argument) {
  const VARTYPE vt = V_VT(&argument);
  if ((vt & VT_BYREF) == 0) return;
  if (vt == (VT_BYREF | VT_VARIANT)) {
    VARIANT* target = V_VARIANTREF(&argument);
    VariantClear(target);
    toVariant(value, ResultType::Variant, target);
    return;
  }
  ScopedVariant fresh;
  ScopedVariant coerced;
  toVariant(value, ResultType::Variant, &fresh.v);
  const VARTYPE referenced = vt & ~VT_BYREF;
  if (FAILED(VariantChangeType(&coerced.v, &fresh.v, 0, referenced))) return;
  switch (referenced) {
    case VT_I2:
      *V_I2REF(&argument) = V_I2(&coerced.v);
      break;
    case VT_I4:
      *V_I4REF(&argument) = V_I4(&coerced.v);
      break;
    case VT_R4:
      *V_R4REF(&argument) = V_R4(&coerced.v);
      break;
    case VT_R8:
      *V_R8REF(&argument) = V_R8(&coerced.v);
      break;
    case VT_BOOL:
      *V_BOOLREF(&argument) = V_BOOL(&coerced.v);
      break;
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(&argument));
      *V_BSTRREF(&argument) = V_BSTR(&coerced.v);
      V_VT(&coerced.v) = VT_EMPTY;  // ownership moved to the caller
      break;
    default:
      break;
  }
}

}  // namespace tavi::win32
