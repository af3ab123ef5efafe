// The core's string conversions against the system's own (VarI4FromStr, VarI2FromStr,
// VarBoolFromStr, VarR8FromStr in US English) on a few thousand generated strings: every
// answer, a value or an error number, must be the same. Each disagreement is reported with
// the input and both answers. The few places where Wine's conversion is known to differ
// from Windows, and the core follows Windows, are counted apart and listed.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "shell/runtime_error.h"
#include "shell/variant.h"

namespace tavi {
namespace {

const LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// A value or an error number.
struct Answer {
  bool ok = false;
  double value = 0;  // exact for every type compared here
  int error = 0;     // runtime error number; for another HRESULT its hex
  std::string describe() const {
    char text[64];
    if (ok) {
      std::snprintf(text, sizeof text, "%.17g", value);
      if (value == 0 && std::signbit(value)) std::snprintf(text, sizeof text, "-0");
    } else {
      std::snprintf(text, sizeof text, "error %d", error);
    }
    return text;
  }
  bool operator==(const Answer& o) const {
    if (ok != o.ok) return false;
    if (!ok) return error == o.error;
    return std::memcmp(&value, &o.value, sizeof value) == 0;  // -0 and +0 differ
  }
};

Answer systemAnswer(HRESULT hr, double value) {
  if (SUCCEEDED(hr)) return {true, value, 0};
  if (hr == DISP_E_TYPEMISMATCH) return {false, 0, 13};
  if (hr == DISP_E_OVERFLOW) return {false, 0, 6};
  return {false, 0, static_cast<int>(hr)};
}

template <typename Convert>
Answer coreAnswer(Convert convert) {
  try {
    return {true, static_cast<double>(convert()), 0};
  } catch (const RuntimeError& e) {
    return {false, 0, e.number()};
  }
}

// The generator: a seeded mix of the pieces numbers are made of, whole numbers in the
// forms the parser knows, and values at the 16- and 32-bit limits.
class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  Text next() {
    const int shape = pick(10);
    if (shape < 4) return mutate(structured());
    if (shape < 9) return soup();
    return limit();
  }

 private:
  int pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  bool chance(int percent) { return pick(100) < percent; }

  Text digits(int count) {
    Text out;
    for (int i = 0; i < count; ++i) out += static_cast<char16_t>(u'0' + pick(10));
    return out;
  }
  Text digitRun() {
    const int kind = pick(100);
    if (kind < 70) return digits(1 + pick(3));
    if (kind < 99) return digits(4 + pick(36));
    return digits(300 + pick(80));  // beyond a double's range
  }
  Text hexDigits() {
    static const char16_t kHex[] = u"0123456789ABCDEFabcdef";
    Text out;
    const int count = chance(80) ? 1 + pick(8) : 9 + pick(12);
    for (int i = 0; i < count; ++i) out += kHex[pick(22)];
    return out;
  }
  Text blank() {
    static const char16_t kBlanks[] = {u' ',  u'\t',  0x00A0, u'\n',  u'\r',  u'\v',
                                       u'\f', 0x3000, 0x2003, 0x0085, 0x200B, 0xFEFF};
    return Text(1, kBlanks[pick(chance(70) ? 3 : 12)]);
  }

  Text piece() {
    static const char16_t* const kWords[] = {
        u"True", u"False", u"#TRUE#", u"#FALSE#", u"true", u"fAlSe", u"#True#", u"&H",
        u"&h",   u"&O",    u"&o",     u"e",       u"E",    u"d",     u"x",      u"(",
        u")",    u"$",     u",",      u".",       u"+",    u"-",     u"0",      u"00"};
    switch (pick(6)) {
      case 0:
      case 1:
        return digitRun();
      case 2:
        return blank();
      case 3:
        return chance(10) ? Text(1, u'\0') : hexDigits();
      default:
        return kWords[pick(24)];
    }
  }
  Text soup() {
    Text out;
    const int count = 1 + pick(6);
    for (int i = 0; i < count; ++i) out += piece();
    return out;
  }

  // [blanks][sign|(][$]number[fraction][exponent][-|)][blanks], or a radix literal.
  Text structured() {
    Text out;
    if (chance(30)) out += blank();
    const int sign = pick(6);
    if (sign == 1) out += u'-';
    if (sign == 2) out += u'+';
    if (sign == 3) out += u'(';
    if (chance(15)) out += u'$';
    if (chance(20)) {
      out += chance(70) ? u"&H" : u"&O";
      out += hexDigits();
    } else {
      Text whole = chance(85) ? digitRun() : Text();
      if (whole.size() > 3 && chance(40)) {
        for (size_t at = whole.size() - 3; at > 0 && at < whole.size(); at -= 3)
          whole.insert(at, u",");
      }
      out += whole;
      if (chance(40)) out += u"." + (chance(85) ? digitRun() : Text());
      if (chance(20)) {
        out += chance(50) ? u'e' : u'E';
        if (chance(40)) out += chance(50) ? u'-' : u'+';
        out += digits(1 + pick(3));
      }
    }
    if (sign == 3 && chance(85)) out += u')';
    if (sign == 4) out += u'-';
    if (sign == 5) out += u'+';
    if (chance(30)) out += blank();
    return out;
  }
  Text mutate(Text s) {
    if (chance(70) || s.empty()) return s;
    const size_t at = static_cast<size_t>(pick(static_cast<int>(s.size()) + 1));
    return s.insert(at, piece());
  }

  Text limit() {
    static const std::vector<Text> kLimits = words(
        u"32767 32768 -32768 -32769 32767.5 -32768.5 2147483647 2147483648 -2147483648 "
        u"-2147483649 2147483647.5 -2147483648.5 &HFFFF &H10000 &H7FFF &H8000 &HFFFFFFFF "
        u"&H7FFFFFFF &H80000000 &H100000000 &O177777 &O37777777777 &O40000000000 "
        u"1.79769313486232E+308 4.94065645841247E-324 0.5 1.5 2.5 -0.5 0.06 (0.6)");
    Text out = kLimits[pick(static_cast<int>(kLimits.size()))];
    if (chance(30)) out += chance(50) ? u"-" : u" ";
    if (chance(20)) out.insert(0, chance(50) ? u"(" : u"\u00A0");
    return out;
  }
  // The blank-separated words of `text`.
  static std::vector<Text> words(TextView text) {
    std::vector<Text> out;
    for (size_t from = 0, blank = 0; blank != TextView::npos; from = blank + 1) {
      blank = text.find(u' ', from);
      out.emplace_back(text.substr(from, blank - from));
    }
    return out;
  }
  std::mt19937 random_;
};

std::string escape(const Text& s) {
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F && c != u'\\') {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

// The system's conversion of a BSTR to T (VarI4FromStr and its kin share one signature).
template <typename T>
using SystemConversion = HRESULT(STDAPICALLTYPE*)(OLECHAR*, LCID, ULONG, T*);

template <typename T>
Answer systemConverts(SystemConversion<T> convert, BSTR s) {
  T value{};
  const HRESULT hr = convert(s, kEnglishUs, LOCALE_NOUSEROVERRIDE, &value);
  return systemAnswer(hr, static_cast<double>(value));
}

struct Conversion {
  const char* name;
  std::function<Answer(BSTR)> system;
  std::function<Answer(const Variant&)> core;
};

const Conversion kConversions[] = {
    {"I4", [](BSTR s) { return systemConverts<LONG>(&VarI4FromStr, s); },
     [](const Variant& v) { return coreAnswer([&] { return v.toI4(); }); }},
    {"I2", [](BSTR s) { return systemConverts<SHORT>(&VarI2FromStr, s); },
     [](const Variant& v) { return coreAnswer([&] { return v.toI2(); }); }},
    {"Bool", [](BSTR s) { return systemConverts<VARIANT_BOOL>(&VarBoolFromStr, s); },
     [](const Variant& v) { return coreAnswer([&] { return v.toBool(); }); }},
    {"R8", [](BSTR s) { return systemConverts<double>(&VarR8FromStr, s); },
     [](const Variant& v) { return coreAnswer([&] { return v.toR8(); }); }},
};

// Where Wine's oleaut32 is known to answer otherwise than Windows, and the core follows
// Windows: the reason, or nullptr.
const char* knownWineDeviation(BSTR s, const Answer& wine, const Answer& core) {
  double real = 0;
  const HRESULT realResult = VarR8FromStr(s, kEnglishUs, LOCALE_NOUSEROVERRIDE, &real);
  // More significant digits than a double holds: Wine's sum of digits is infinite and
  // it answers infinity (or True); Windows reports an overflow.
  if (SUCCEEDED(realResult) && std::isinf(real) && !core.ok && core.error == 6)
    return "Wine reads a number past the double range as infinity";
  // A fraction below 0.1 ("0.06"): Wine rounds on its first significant digit, as if it
  // were the tenths, to 1; Windows rounds to 0.
  // (A true zero never rounds to 1, so a zero here is a fraction the double underflows.)
  if (SUCCEEDED(realResult) && std::fabs(real) < 0.1 && wine.ok && std::fabs(wine.value) == 1 &&
      core.ok && core.value == 0)
    return "Wine rounds a fraction below 0.1 on its first significant digit";
  return nullptr;
}

TEST(ConversionDifferential, CoreConvertsStringsAsTheSystemDoes) {
  Generator generator(20261206);
  constexpr int kStrings = 5000;
  int disagreements = 0;
  int deviations = 0;
  int accepted = 0;
  for (int n = 0; n < kStrings; ++n) {
    const Text input = generator.next();
    BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(input.data()),
                                  static_cast<UINT>(input.size()));
    const Variant value = Variant::fromString(input);
    for (const Conversion& conversion : kConversions) {
      const Answer system = conversion.system(bstr);
      const Answer core = conversion.core(value);
      if (system.ok) ++accepted;
      if (system == core) continue;
      if (const char* reason = knownWineDeviation(bstr, system, core)) {
        ++deviations;
        std::printf("known Wine deviation %s(\"%s\"): Wine %s, core %s (%s)\n", conversion.name,
                    escape(input).c_str(), system.describe().c_str(), core.describe().c_str(),
                    reason);
        continue;
      }
      ++disagreements;
      ADD_FAILURE() << conversion.name << "(\"" << escape(input) << "\"): system "
                    << system.describe() << ", core " << core.describe();
    }
    SysFreeString(bstr);
  }
  std::printf(
      "%d strings, %d conversions accepted by the system, %d disagreements, %d known "
      "Wine deviations\n",
      kStrings, accepted, disagreements, deviations);
  EXPECT_EQ(disagreements, 0);
}

}  // namespace
}  // namespace tavi
