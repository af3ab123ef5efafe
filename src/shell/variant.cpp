#include "shell/variant.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "shell/runtime_error.h"

namespace tavi {

namespace {

[[noreturn]] void fail(int number) { throw RuntimeError(number); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool equalsIgnoringAsciiCase(TextView s, std::string_view word) {
  if (s.size() != word.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    if (c != static_cast<unsigned char>(word[i])) return false;
  }
  return true;
}

Text widen(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

// ---- Parsing ----
//
// A string becomes a number in two steps, as VarParseNumFromStr and VarNumFromParseNum
// take it in US English: the text is read into significant digits and a power of ten (or
// the digits of a "&H"/"&O" literal), then those digits become the wanted type. Each
// VarXxxFromStr, and so each of our conversions, reads the string the same way and
// differs only in the second step.

// The blanks the system's parser skips: its iswspace, which takes in the no-break space.
bool isSpace(char16_t c) {
  return (c >= u'\t' && c <= u'\r') || c == u' ' || c == 0x0085 || c == 0x00A0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

bool isHexLetter(char16_t c) { return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

int digitValue(char16_t c) {
  if (isDigit(c)) return c - u'0';
  return (c | 0x20) - u'a' + 10;
}

// The system keeps this many significant digits; later ones only count in the power of ten.
constexpr size_t kMaxDigits = 1024;

struct ParsedNumber {
  std::vector<uint8_t> digits;  // most significant first, never empty
  int32_t power10 = 0;          // the value is digits x 10^power10
  int radixShift = 0;           // 4 after "&H", 3 after "&O": digits of that base, no power
  bool negative = false;
};

int32_t wrappingAdd(int32_t a, uint32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + b);
}

// Reads `text` as the system's parser does with all its number forms allowed: blanks,
// "+", "-", "$" and "(" in front, each symbol once and in any order; "&H" or "&O"; digits
// with "," anywhere after the first; a "." fraction; an exponent "e" or "E" (not after
// "$") whose signs may repeat; then blanks, ",", "$", a trailing "+" or "-" where none led,
// and ")" where "(" led. "(" needs a minus sign or ")" somewhere. The sign of a radix
// literal is read but not used. The exponent is a 32-bit sum that wraps, as the system's.
// Type mismatch (13) when the text is no number, overflow (6) for a radix literal too long.
ParsedNumber scanNumber(TextView text) {
  const TextView s = text.substr(0, text.find(u'\0'));  // the system reads up to a NUL
  const auto at = [&s](size_t k) { return k < s.size() ? s[k] : u'\0'; };
  ParsedNumber n;
  size_t i = 0;
  bool plus = false;
  bool minus = false;
  bool currency = false;
  bool parens = false;
  bool point = false;
  bool leadingZero = false;

  for (;;) {
    const char16_t c = at(i);
    if (c == u'.') {  // a leading point ends the leading symbols
      point = true;
      for (++i; at(i) == u'0'; ++i) {
        leadingZero = true;
        --n.power10;
      }
      break;
    }
    if (c == u',') fail(err::kTypeMismatch);  // grouping before any digit
    if (isSpace(c)) {
    } else if (c == u'+' && !plus) {
      plus = true;
    } else if (c == u'-' && !minus) {
      minus = n.negative = true;
    } else if (c == u'$' && !currency) {
      currency = true;
    } else if (c == u'(' && !parens) {
      parens = true;
    } else {
      break;
    }
    ++i;
  }

  if (!currency && !point && at(i) == u'&') {
    const char16_t r = at(i + 1);
    n.radixShift = r == u'H' || r == u'h' ? 4 : r == u'O' || r == u'o' ? 3 : 0;
    if (n.radixShift != 0) i += 2;
  }
  const bool radix = n.radixShift != 0;
  for (; at(i) == u'0'; ++i) leadingZero = true;

  size_t count = 0;  // digits read, kept or not
  bool exponent = false;
  bool inExponent = false;
  bool exponentNegative = false;
  for (; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (isDigit(c) && inExponent) {
      while (at(i) == u'0') ++i;
      uint32_t e = 0;
      for (; isDigit(at(i)); ++i) e = e * 10 + static_cast<uint32_t>(at(i) - u'0');
      n.power10 = wrappingAdd(n.power10, exponentNegative ? 0 - e : e);
      inExponent = false;
      --i;  // the loop steps onto the character after the exponent
    } else if (isDigit(c)) {
      if (radix && count >= kMaxDigits) fail(err::kOverflow);
      if (count >= kMaxDigits) {
        n.power10 += point ? -1 : 1;
      } else {
        if (n.radixShift == 3 && c >= u'8') break;
        if (point) --n.power10;
        n.digits.push_back(static_cast<uint8_t>(c - u'0'));
      }
      ++count;
    } else if (c == u',' && !radix) {
      // grouping, wherever it falls
    } else if (c == u'.' && !radix && !point && !exponent) {
      point = true;
      if (count == 0) {
        for (; at(i + 1) == u'0'; ++i) {
          leadingZero = true;
          --n.power10;
        }
      }
    } else if (n.radixShift == 4 && isHexLetter(c)) {
      if (count >= kMaxDigits) fail(err::kOverflow);
      n.digits.push_back(static_cast<uint8_t>(digitValue(c)));
      ++count;
    } else if ((c == u'e' || c == u'E') && !radix && !currency && !exponent) {
      exponent = inExponent = true;
    } else if (inExponent && c == u'+') {
    } else if (inExponent && c == u'-') {
      exponentNegative = true;
    } else {
      break;
    }
  }
  if (count == 0 && leadingZero) {
    n.digits.push_back(0);
    count = 1;
  }
  if (inExponent) fail(err::kTypeMismatch);
  if (count <= kMaxDigits && !radix) {
    while (n.digits.size() > 1 && n.digits.back() == 0) {
      n.digits.pop_back();
      ++n.power10;
    }
  }

  for (;; ++i) {
    const char16_t c = at(i);
    if (c == u',' && !radix) {
    } else if (isSpace(c)) {
    } else if (c == u'+' && !plus) {
    } else if ((c == u'-' && !minus) || (c == u')' && parens)) {
      n.negative = true;
    } else if (c == u'$' && !radix) {
    } else {
      break;
    }
  }
  if (parens && !n.negative) fail(err::kTypeMismatch);
  if (i != s.size() || n.digits.empty()) fail(err::kTypeMismatch);
  return n;
}

// A radix literal's digits as a 64-bit pattern; overflow (6) beyond 64 bits.
uint64_t radixPattern(const ParsedNumber& n) {
  uint64_t pattern = 0;
  for (const uint8_t d : n.digits) {
    if (pattern > (std::numeric_limits<uint64_t>::max() >> n.radixShift) - d) fail(err::kOverflow);
    pattern = (pattern << n.radixShift) + d;
  }
  return pattern;
}

// To a signed integer of `bits` (16 or 32) bits, rounding the digits themselves with ties
// to even. A radix literal is a bit pattern of that width: "&HFFFF" is -1 as 16 bits and
// 65535 as 32. Overflow (6) outside the range.
int32_t integerFrom(const ParsedNumber& n, int bits) {
  if (n.radixShift != 0) {
    const uint64_t pattern = radixPattern(n);
    if (pattern >> bits != 0) fail(err::kOverflow);
    return bits == 16 ? static_cast<int16_t>(pattern) : static_cast<int32_t>(pattern);
  }
  const int64_t count = static_cast<int64_t>(n.digits.size());
  const int64_t power = n.power10;
  const int64_t wholeDigits = power < 0 ? std::max<int64_t>(0, count + power) : count;
  constexpr uint64_t kBound = uint64_t{1} << 32;  // past every range here, even after rounding
  uint64_t magnitude = 0;
  for (int64_t k = 0; k < wholeDigits; ++k) {
    magnitude = magnitude * 10 + n.digits[static_cast<size_t>(k)];
    if (magnitude > kBound) fail(err::kOverflow);
  }
  for (int64_t k = 0; k < power && magnitude != 0; ++k) {
    magnitude *= 10;
    if (magnitude > kBound) fail(err::kOverflow);
  }
  // Only a fraction that starts at the tenths can reach one half. Wine rounds "0.06" to 1,
  // looking at the first significant digit as if it were the tenths; Windows answers 0.
  if (wholeDigits < count && count + power >= 0) {
    const auto fraction = n.digits.begin() + wholeDigits;
    const bool pastHalf =
        *fraction > 5 || (*fraction == 5 && std::any_of(fraction + 1, n.digits.end(),
                                                        [](uint8_t d) { return d != 0; }));
    if (pastHalf || (*fraction == 5 && (magnitude & 1) != 0)) ++magnitude;
  }
  const uint64_t limit = uint64_t{1} << (bits - 1);  // the magnitude of the minimum
  const bool negative = n.negative && magnitude != 0;
  if (magnitude > (negative ? limit : limit - 1)) fail(err::kOverflow);
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                  : static_cast<int32_t>(magnitude);
}

// To a double by the system's own arithmetic: the digits summed in a double, then scaled
// by powers of ten at most 10^10 at a time. Its result can be an ulp away from the nearest
// double for long digit strings, and we keep that so that both agree. Overflow (6) past
// the largest double; an underflow is zero. Where Wine's sum of more than 308 digits is
// infinite and it answers infinity, Windows reports the overflow it reports for 1E+309,
// and so do we. A radix literal becomes a real only where it reads as a 32-bit value,
// as itself or negated in 64 bits ("&H80000000" is -2147483648, "&HFFFFFFFF" overflows).
double realFrom(const ParsedNumber& n) {
  if (n.radixShift != 0) {
    const uint64_t pattern = radixPattern(n);
    if (pattern <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
      return static_cast<double>(pattern);
    const auto negated = static_cast<int64_t>(0 - pattern);
    if (negated >= std::numeric_limits<int32_t>::min()) return static_cast<double>(negated);
    fail(err::kOverflow);
  }
  static constexpr double kPowers[11] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  constexpr double kLargest = 1.79769313486231470e+308;
  constexpr double kSmallest = 4.94065645841246544e-324;
  double whole = 0;
  for (const uint8_t d : n.digits) whole = whole * 10.0 + d;
  if (std::isinf(whole)) fail(err::kOverflow);
  if (whole != 0) {
    for (int64_t up = std::max<int64_t>(n.power10, 0); up > 0; up -= 10) {
      const double factor = kPowers[std::min<int64_t>(up, 10)];
      if (whole > kLargest / factor) fail(err::kOverflow);
      whole *= factor;
    }
    for (int64_t down = -std::min<int64_t>(n.power10, 0); down > 0; down -= 10) {
      const double factor = kPowers[std::min<int64_t>(down, 10)];
      if (whole < kSmallest * factor) {
        whole = 0;
        break;
      }
      whole /= factor;
    }
  }
  return n.negative ? -whole : whole;
}

// VarBoolFromStr: "True" and "False" in any case, "#TRUE#" and "#FALSE#" as written, the
// whole string each time (no blanks); otherwise a number, where anything but zero is True.
VBool boolFromText(TextView text) {
  const TextView s = text.substr(0, text.find(u'\0'));
  if (equalsIgnoringAsciiCase(s, "TRUE") || s == u"#TRUE#") return kTrue;
  if (equalsIgnoringAsciiCase(s, "FALSE") || s == u"#FALSE#") return kFalse;
  return toVBool(parseNumber(s) != 0);
}

double roundHalfEven(double v) {
  const double down = std::floor(v);
  const double diff = v - down;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(down, 2.0) != 0.0)) return down + 1.0;
  return down;
}

// Currency to the nearest whole number, ties to even.
int64_t roundCurrency(Currency c) {
  int64_t whole = c.scaled / 10000;
  const int64_t rest = c.scaled % 10000;
  if (rest > 5000 || (rest == 5000 && (whole & 1) != 0)) ++whole;
  if (rest < -5000 || (rest == -5000 && (whole & 1) != 0)) --whole;
  return whole;
}

template <typename Int>
Int checkedNarrow(int64_t v) {
  if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) {
    fail(err::kOverflow);
  }
  return static_cast<Int>(v);
}

// ---- Formatting ----

// A real with at most `precision` significant digits, rounded half away from zero and
// without trailing zeros; exponent form ("1.5E-07", "1E+20") below 1E-4 and from
// 10^precision up, as the runtime's "%G"-style conversion does.
std::string formatReal(double v, int precision) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  if (v == 0) return "0";  // also -0

  // The exact decimal expansion of any double fits 767 significant digits, so rounding
  // it ourselves sees true ties. Older standard libraries (libc++ 13, the browser build's)
  // have no floating-point to_chars; printf writes the same exact digits there.
  char buffer[800];
#if defined(__cpp_lib_to_chars)
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v),
                                    std::chars_format::scientific, 770);
  const std::string_view expanded(buffer, static_cast<size_t>(result.ptr - buffer));
#else
  const int length = std::snprintf(buffer, sizeof buffer, "%.770e", std::fabs(v));
  const std::string_view expanded(buffer, static_cast<size_t>(length));
#endif
  const size_t e = expanded.find('e');
  std::string digits(1, expanded[0]);
  digits.append(expanded.substr(2, e - 2));
  int exponent = std::atoi(std::string(expanded.substr(e + 1)).c_str());

  const size_t count = static_cast<size_t>(precision);
  const bool roundUp = digits[count] >= '5';
  digits.resize(count);
  if (roundUp) {
    size_t k = count;
    while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
    if (k == 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[k - 1];
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string out = v < 0 ? "-" : "";
  if (exponent < -4 || exponent >= precision) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return out;
}

std::string formatCurrency(Currency c) {
  const bool negative = c.scaled < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(c.scaled) : static_cast<uint64_t>(c.scaled);
  std::string out = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  if (const uint64_t fraction = magnitude % 10000; fraction != 0) {
    std::string digits = std::to_string(fraction + 10000).substr(1);  // four digits
    digits.erase(digits.find_last_not_of('0') + 1);
    out += "." + digits;
  }
  return out;
}

struct CivilDate {
  int64_t year;
  int month;
  int day;
};

// Calendar date of a day number counted from 30 December 1899 (proleptic Gregorian).
CivilDate civilFromDayNumber(int64_t dayNumber) {
  const int64_t z = dayNumber - 25569 + 719468;  // shift to days since 1 March 0000
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // March = 0
  const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// en-US short date and long time. The integer part counts days (backwards for negative
// dates), the fraction is always the time of that day.
std::string formatDate(Date date) {
  const double d = date.days;
  if (!(d >= -657434.0 && d < 2958466.0)) fail(err::kInvalidCall);  // 1 Jan 100 .. 9999
  const double wholeDays = std::trunc(d);
  int64_t dayNumber = static_cast<int64_t>(wholeDays);
  int64_t seconds = std::llround(std::fabs(d - wholeDays) * 86400.0);
  if (seconds >= 86400) {  // rounded up to midnight: the next day
    seconds -= 86400;
    ++dayNumber;
  }

  std::string out;
  if (dayNumber != 0) {
    const CivilDate c = civilFromDayNumber(dayNumber);
    out = std::to_string(c.month) + "/" + std::to_string(c.day) + "/" + std::to_string(c.year);
    if (seconds == 0) return out;
    out += ' ';
  }
  const int64_t hour = seconds / 3600;
  const int64_t minute = seconds / 60 % 60;
  const int64_t second = seconds % 60;
  const auto twoDigits = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  out += std::to_string(hour % 12 == 0 ? 12 : hour % 12) + ":" + twoDigits(minute) + ":" +
         twoDigits(second) + (hour < 12 ? " AM" : " PM");
  return out;
}

}  // namespace

double parseNumber(TextView s) { return realFrom(scanNumber(s)); }

int32_t roundToI4(double v) {
  const double r = roundHalfEven(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) fail(err::kOverflow);  // also NaN
  return static_cast<int32_t>(r);
}

int16_t roundToI2(double v) {
  const double r = roundHalfEven(v);
  if (!(r >= -32768.0 && r <= 32767.0)) fail(err::kOverflow);
  return static_cast<int16_t>(r);
}

VarType Variant::type() const {
  // In the order of the alternatives of Value.
  static constexpr std::array<VarType, std::variant_size_v<Value>> kTypes = {
      VarType::Empty, VarType::Null, VarType::I2,   VarType::I4,   VarType::R4,
      VarType::R8,    VarType::CY,   VarType::DATE, VarType::BSTR, VarType::BOOL};
  return kTypes[value_.index()];
}

VBool Variant::toBool() const {
  switch (type()) {
    case VarType::Empty:
      return kFalse;
    case VarType::BOOL:
      return toVBool(boolValue() != 0);
    case VarType::I2:
      return toVBool(i2() != 0);
    case VarType::I4:
      return toVBool(i4() != 0);
    case VarType::CY:
      return toVBool(cy().scaled != 0);
    case VarType::BSTR:
      return boolFromText(str());
    default:
      return toVBool(toR8() != 0);  // Null throws there; NaN counts as non-zero
  }
}

int32_t Variant::toI4() const {
  switch (type()) {
    case VarType::Empty:
      return 0;
    case VarType::BOOL:
      return boolValue();
    case VarType::I2:
      return i2();
    case VarType::I4:
      return i4();
    case VarType::CY:
      return checkedNarrow<int32_t>(roundCurrency(cy()));
    case VarType::BSTR:
      return integerFrom(scanNumber(str()), 32);
    default:
      return roundToI4(toR8());
  }
}

int16_t Variant::toI2() const {
  switch (type()) {
    case VarType::Empty:
      return 0;
    case VarType::BOOL:
      return boolValue();
    case VarType::I2:
      return i2();
    case VarType::I4:
      return checkedNarrow<int16_t>(i4());
    case VarType::CY:
      return checkedNarrow<int16_t>(roundCurrency(cy()));
    case VarType::BSTR:
      return static_cast<int16_t>(integerFrom(scanNumber(str()), 16));
    default:
      return roundToI2(toR8());
  }
}

double Variant::toR8() const {
  switch (type()) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
      fail(err::kInvalidUseOfNull);
    case VarType::BOOL:
      return boolValue();
    case VarType::I2:
      return i2();
    case VarType::I4:
      return i4();
    case VarType::R4:
      return r4();
    case VarType::R8:
      return r8();
    case VarType::CY:
      return static_cast<double>(cy().scaled) / 10000.0;
    case VarType::DATE:
      return date().days;
    case VarType::BSTR:
      return parseNumber(str());
  }
  fail(err::kTypeMismatch);
}

Text Variant::toText() const {
  switch (type()) {
    case VarType::Empty:
      return Text();
    case VarType::Null:
      fail(err::kInvalidUseOfNull);
    case VarType::BOOL:
      return boolValue() != 0 ? u"True" : u"False";
    case VarType::I2:
      return widen(std::to_string(i2()));
    case VarType::I4:
      return widen(std::to_string(i4()));
    case VarType::R4:
      return widen(formatReal(r4(), 7));
    case VarType::R8:
      return widen(formatReal(r8(), 15));
    case VarType::CY:
      return widen(formatCurrency(cy()));
    case VarType::DATE:
      return widen(formatDate(date()));
    case VarType::BSTR:
      return str();
  }
  fail(err::kTypeMismatch);
}

}  // namespace tavi
