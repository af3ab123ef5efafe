#include "automation.h"

#include <cstdio>

namespace tavi::host {

Variant Variant::text(std::wstring_view s) {
  Variant v;
  V_VT(&v.v_) = VT_BSTR;
  V_BSTR(&v.v_) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  return v;
}

Variant Variant::boolean(bool b) {
  Variant v;
  V_VT(&v.v_) = VT_BOOL;
  V_BOOL(&v.v_) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

bool Variant::toText(std::wstring& out) const {
  VARIANT copy;
  VariantInit(&copy);
  if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&v_), 0, VT_BSTR))) return false;
  out.assign(V_BSTR(&copy), SysStringLen(V_BSTR(&copy)));
  VariantClear(&copy);
  return true;
}

bool Variant::toLong(long& out) const {
  VARIANT copy;
  VariantInit(&copy);
  if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&v_), 0, VT_I4))) return false;
  out = V_I4(&copy);
  return true;
}

namespace {

bool invoke(IDispatch* object, const char* what, const wchar_t* name, WORD kind,
            const VARIANT* argument, VARIANT* result, std::string& error) {
  const std::string call = std::string(what) + " " + utf8(name);
  if (object == nullptr) {
    error = call + ": no control";
    return false;
  }
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    error = call + ": GetIDsOfNames failed with " + hex(hr);
    return false;
  }
  VARIANT arg;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  if (argument != nullptr) {
    arg = *argument;  // a shallow copy: Invoke does not take ownership of its arguments
    params.rgvarg = &arg;
    params.cArgs = 1;
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
  }
  EXCEPINFO exception{};
  UINT argError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &exception,
                      &argError);
  if (SUCCEEDED(hr)) return true;
  error = call + ": Invoke failed with " + hex(hr);
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    const HRESULT code = exception.scode != 0 ? exception.scode : exception.wCode;
    error += " (" + hex(code);
    if (exception.bstrDescription != nullptr) error += " " + utf8(exception.bstrDescription);
    error += ")";
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return false;
}

}  // namespace

bool putProperty(IDispatch* object, const wchar_t* name, const Variant& value, std::string& error) {
  return invoke(object, "put", name, DISPATCH_PROPERTYPUT, value.get(), nullptr, error);
}

bool getProperty(IDispatch* object, const wchar_t* name, Variant& result, std::string& error) {
  VariantClear(result.get());
  return invoke(object, "get", name, DISPATCH_PROPERTYGET, nullptr, result.get(), error);
}

bool callMethod(IDispatch* object, const wchar_t* name, Variant& result, std::string& error) {
  VariantClear(result.get());
  return invoke(object, "call", name, DISPATCH_METHOD, nullptr, result.get(), error);
}

std::string utf8(std::wstring_view s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::string quoted(std::wstring_view s) {
  std::wstring escaped = L"\"";
  for (wchar_t c : s) {
    switch (c) {
      case L'\r':
        escaped += L"\\r";
        break;
      case L'\n':
        escaped += L"\\n";
        break;
      case L'\t':
        escaped += L"\\t";
        break;
      case L'"':
        escaped += L"\\\"";
        break;
      case L'\\':
        escaped += L"\\\\";
        break;
      default:
        escaped += c;
    }
  }
  escaped += L'"';
  return utf8(escaped);
}

}  // namespace tavi::host
