// A Variant with the OLE Automation conversion rules that the public interface needs.
// Conversions that cannot be made throw RuntimeError: type mismatch (13), overflow (6),
// invalid use of Null (94), invalid argument (5) for a date outside the years 100 to 9999.
#pragma once

#include <cstdint>
#include <utility>
#include <variant>

#include "shell/text.h"

namespace tavi {

enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R4 = 4,
  R8 = 5,
  CY = 6,
  DATE = 7,
  BSTR = 8,
  BOOL = 11,
};

// 16-bit Boolean of the public interface: True is -1.
using VBool = int16_t;
inline constexpr VBool kTrue = -1;
inline constexpr VBool kFalse = 0;
inline constexpr VBool toVBool(bool b) { return b ? kTrue : kFalse; }

// Currency: a 64-bit integer scaled by 10,000.
struct Currency {
  int64_t scaled = 0;
  friend bool operator==(const Currency&, const Currency&) = default;
};

// A date is a count of days since 30 December 1899, the time as the fraction.
struct Date {
  double days = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

struct NullValue {
  friend bool operator==(const NullValue&, const NullValue&) = default;
};

class Variant {
 public:
  Variant() = default;  // Empty
  static Variant null() { return Variant(NullValue{}); }
  static Variant fromBool(bool b) { return Variant(BoolTag{toVBool(b)}); }
  static Variant fromVBool(VBool b) { return Variant(BoolTag{b}); }
  static Variant fromI2(int16_t v) { return Variant(v); }
  static Variant fromI4(int32_t v) { return Variant(v); }
  static Variant fromR4(float v) { return Variant(v); }
  static Variant fromR8(double v) { return Variant(v); }
  static Variant fromCurrency(Currency v) { return Variant(v); }
  static Variant fromDate(Date v) { return Variant(v); }
  static Variant fromString(Text v) { return Variant(std::move(v)); }

  VarType type() const;
  bool isEmpty() const { return type() == VarType::Empty; }

  // Direct access; the caller must have checked type().
  VBool boolValue() const { return std::get<BoolTag>(value_).v; }
  int16_t i2() const { return std::get<int16_t>(value_); }
  int32_t i4() const { return std::get<int32_t>(value_); }
  float r4() const { return std::get<float>(value_); }
  double r8() const { return std::get<double>(value_); }
  Currency cy() const { return std::get<Currency>(value_); }
  Date date() const { return std::get<Date>(value_); }
  const Text& str() const { return std::get<Text>(value_); }

  // Conversions by the rules of VarBoolFromXxx, VarI2FromXxx, VarI4FromXxx (banker's
  // rounding), VarR8FromXxx and VarBstrFromXxx (en-US formatting). A string is read as
  // the system reads it: to an integer its digits are rounded exactly, and a "&H"/"&O"
  // literal is a bit pattern of the target's width ("&HFFFF" is -1 as an Integer).
  VBool toBool() const;
  int16_t toI2() const;
  int32_t toI4() const;
  double toR8() const;
  Text toText() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  struct BoolTag {
    VBool v;
    friend bool operator==(const BoolTag&, const BoolTag&) = default;
  };
  using Value = std::variant<std::monostate, NullValue, int16_t, int32_t, float, double, Currency,
                             Date, Text, BoolTag>;
  template <typename T>
  explicit Variant(T v) : value_(std::move(v)) {}
  Value value_;
};

// Reads a numeric string as VarR8FromStr does in US English (the forms are described at
// scanNumber in variant.cpp: blanks, signs before or after, parentheses, "$", "," grouping,
// "." fraction, "e"/"E" exponent, "&H"/"&O" literals; a NUL ends the string).
// Throws type mismatch (13) when the string is not a number and overflow (6) when it
// does not fit a double.
double parseNumber(TextView s);

// Banker's rounding to a 32-bit integer; overflow (6) outside its range.
int32_t roundToI4(double v);
int16_t roundToI2(double v);

}  // namespace tavi
