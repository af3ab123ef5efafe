// Late-bound calls into a dispatch interface by member name, as a script host makes them,
// and the small conversions the host needs to print what comes back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavi::host {

// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant text(std::wstring_view s);
  static Variant boolean(bool b);

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  // The value converted to a string or a long; false when it does not convert.
  bool toText(std::wstring& out) const;
  bool toLong(long& out) const;

 private:
  VARIANT v_;
};

// Property put, property get and a method call without arguments, by name. False with
// `error` set ("put Load_flag: 0x800A000D Type mismatch") when the name is unknown or the
// call fails.
bool putProperty(IDispatch* object, const wchar_t* name, const Variant& value, std::string& error);
bool getProperty(IDispatch* object, const wchar_t* name, Variant& result, std::string& error);
bool callMethod(IDispatch* object, const wchar_t* name, Variant& result, std::string& error);

std::string utf8(std::wstring_view s);
// "0x80004002"
std::string hex(HRESULT hr);
// The text on one line, with CR, LF, tab, quotes and backslashes escaped, in quotes.
std::string quoted(std::wstring_view s);

}  // namespace tavi::host
