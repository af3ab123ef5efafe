#include "shell/variant.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "shell/runtime_error.h"

namespace tavi {

namespace {

[[noreturn]] void fail(int number) { throw RuntimeError(number); }

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

void skipBlanks(TextView s, size_t& i) {
  while (i < s.size() && isBlank(s[i])) ++i;
}

TextView trimBlanks(TextView s) {
  size_t begin = 0;
  skipBlanks(s, begin);
  size_t end = s.size();
  while (end > begin && isBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

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

int digitValue(char16_t c) {
  if (isDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return -1;
}

// The digits after "&H" (shift 4) or "&O" (shift 3), read as a 32-bit two's complement
// value as the runtime does for a Long.
double parseRadix(TextView s, size_t& i, int shift) {
  const size_t start = i;
  uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const int digit = digitValue(s[i]);
    if (digit < 0 || digit >= (1 << shift)) break;
    value = (value << shift) | static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) fail(err::kOverflow);
  }
  if (i == start) fail(err::kTypeMismatch);
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// Digits with "," grouping in the integer part, an optional "." fraction and an optional
// exponent. The text is rebuilt in the "C" form that std::from_chars reads, so the result
// does not depend on the process locale.
double parseDecimal(TextView s, size_t& i) {
  std::string intPart;
  std::string fracPart;
  for (; i < s.size() && (isDigit(s[i]) || s[i] == u','); ++i) {
    if (s[i] != u',') intPart.push_back(static_cast<char>(s[i]));
  }
  if (i < s.size() && s[i] == u'.') {
    for (++i; i < s.size() && isDigit(s[i]); ++i) fracPart.push_back(static_cast<char>(s[i]));
  }
  if (intPart.empty() && fracPart.empty()) fail(err::kTypeMismatch);

  // Exponents beyond this bound over- or underflow whatever the mantissa.
  constexpr int kExponentBound = 1000000;
  int exponent = 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    if (i == s.size() || !isDigit(s[i])) fail(err::kTypeMismatch);
    for (; i < s.size() && isDigit(s[i]); ++i) {
      if (exponent < kExponentBound) exponent = exponent * 10 + (s[i] - u'0');
    }
    if (negative) exponent = -exponent;
  }

  std::string text = (intPart.empty() ? "0" : intPart) + "." + (fracPart.empty() ? "0" : fracPart) +
                     "e" + std::to_string(exponent);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Out of range either way: find the decimal magnitude of the first significant digit
    // to tell an overflow from an underflow (which reads as zero).
    const size_t firstInt = intPart.find_first_not_of('0');
    const long magnitude = firstInt != std::string::npos
                               ? static_cast<long>(intPart.size() - firstInt) - 1 + exponent
                               : -static_cast<long>(fracPart.find_first_not_of('0')) - 1 + exponent;
    if (magnitude > 0) fail(err::kOverflow);
    return 0;
  }
  if (ec != std::errc() || end != text.data() + text.size()) fail(err::kTypeMismatch);
  return value;
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
  // it ourselves sees true ties.
  char buffer[800];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v),
                                    std::chars_format::scientific, 770);
  const std::string_view expanded(buffer, static_cast<size_t>(result.ptr - buffer));
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

VBool boolFromText(TextView s) {
  const TextView word = trimBlanks(s);
  // The "#TRUE#" and "#FALSE#" forms match only in capitals, the words in any case.
  if (word == u"#TRUE#" || equalsIgnoringAsciiCase(word, "TRUE")) return kTrue;
  if (word == u"#FALSE#" || equalsIgnoringAsciiCase(word, "FALSE")) return kFalse;
  return toVBool(parseNumber(s) != 0);
}

}  // namespace

double parseNumber(TextView s) {
  size_t i = 0;
  skipBlanks(s, i);
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  double value = 0;
  const bool radix = i + 1 < s.size() && s[i] == u'&';
  if (radix && (s[i + 1] == u'H' || s[i + 1] == u'h')) {
    i += 2;
    value = parseRadix(s, i, 4);
  } else if (radix && (s[i + 1] == u'O' || s[i + 1] == u'o')) {
    i += 2;
    value = parseRadix(s, i, 3);
  } else {
    value = parseDecimal(s, i);
  }
  skipBlanks(s, i);
  if (i != s.size()) fail(err::kTypeMismatch);
  return negative ? -value : value;
}

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
