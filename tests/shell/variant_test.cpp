#include "shell/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "shell/runtime_error.h"

namespace tavi {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The runtime error number a conversion throws, or 0 when it succeeds.
int errorOf(const std::function<void()>& convert) {
  try {
    convert();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

Variant str(const char16_t* s) { return Variant::fromString(s); }
Variant cy(int64_t scaled) { return Variant::fromCurrency(Currency{scaled}); }
Variant date(double days) { return Variant::fromDate(Date{days}); }

TEST(RuntimeError, CarriesNumberHresultAndDescription) {
  const RuntimeError e(err::kTypeMismatch);
  EXPECT_EQ(e.number(), 13);
  EXPECT_EQ(e.hresult(), 0x800A000Du);
  EXPECT_STREQ(e.what(), "Type mismatch");
  EXPECT_EQ(errorDescription(521), "Can't open Clipboard");
  EXPECT_EQ(errorDescription(1234), "Application-defined or object-defined error");
  EXPECT_STREQ(RuntimeError(5, "custom").what(), "custom");
}

TEST(ParseNumber, AcceptsTheRuntimeNumberForms) {
  const struct {
    const char16_t* text;
    double value;
  } cases[] = {{u"0", 0},
               {u" 12 ", 12},
               {u"\t-7\r\n", -7},
               {u"+3", 3},
               {u"1,000", 1000},
               {u"1,2,3.5", 123.5},
               {u"-.5", -0.5},
               {u"5.", 5},
               {u"1e3", 1000},
               {u"1.5D2", 150},
               {u"25E-1", 2.5},
               {u"1e-400", 0},
               {u"&H10", 16},
               {u"&hff", 255},
               {u"&O17", 15},
               {u"-&H10", -16},
               {u"&HFFFFFFFF", -1},
               {u"&H80000000", -2147483648.0},
               {u"&H7FFFFFFF", 2147483647},
               {u"&O37777777777", -1}};
  for (const auto& c : cases) EXPECT_EQ(parseNumber(c.text), c.value) << toUtf8(c.text);
}

TEST(ParseNumber, RejectsNonNumbersAndOverflows) {
  const struct {
    const char16_t* text;
    int error;
  } cases[] = {{u"", 13},    {u"  ", 13},   {u"x", 13},    {u"12x", 13},
               {u"1 2", 13}, {u".", 13},    {u"1e", 13},   {u"1e+", 13},
               {u"e5", 13},  {u"&H", 13},   {u"&H1G", 13}, {u"&O8", 13},
               {u"--1", 13}, {u"True", 13}, {u"1e400", 6}, {u"&H100000000", 6}};
  for (const auto& c : cases) {
    EXPECT_EQ(errorOf([&] { parseNumber(c.text); }), c.error) << toUtf8(c.text);
  }
}

TEST(Rounding, TiesGoToEvenAndTheRangeIsCheckedAfterRounding) {
  const struct {
    double value;
    int32_t expected;
  } cases[] = {{2.5, 2},
               {3.5, 4},
               {-2.5, -2},
               {-3.5, -4},
               {0.5, 0},
               {2.6, 3},
               {-2.6, -3},
               {-0.5, 0},
               {2147483647.4, 2147483647},
               {-2147483648.5, -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(roundToI4(c.value), c.expected) << c.value;
  for (double overflow : {2147483647.5, -2147483648.6, 1e300, kNaN}) {
    EXPECT_EQ(errorOf([&] { roundToI4(overflow); }), err::kOverflow) << overflow;
  }
  EXPECT_EQ(roundToI2(-32768.5), -32768);
  EXPECT_EQ(errorOf([] { roundToI2(32767.5); }), err::kOverflow);
}

TEST(Variant, ToI4FromEveryType) {
  const struct {
    Variant value;
    int32_t expected;
  } cases[] = {{Variant(), 0},
               {Variant::fromBool(true), -1},
               {Variant::fromI2(-5), -5},
               {date(1.75), 2},
               {Variant::fromR4(2.5f), 2},
               {Variant::fromR8(3.5), 4},
               {cy(25000), 2},
               {cy(35000), 4},
               {cy(-25000), -2},
               {cy(-25001), -3},
               {str(u" 12 "), 12},
               {str(u"1,000"), 1000},
               {str(u"&HFFFFFFFF"), -1},
               {str(u"2.5"), 2}};
  for (const auto& c : cases) EXPECT_EQ(c.value.toI4(), c.expected) << "case " << (&c - cases);
}

TEST(Variant, ConversionErrors) {
  const struct {
    Variant value;
    int error;
  } cases[] = {{Variant::null(), 94},
               {str(u"x"), 13},
               {str(u""), 13},
               {str(u"2147483647.5"), 6},
               {Variant::fromR8(kNaN), 6},
               {cy(int64_t{21474836475000}), 6}};
  for (const auto& c : cases) EXPECT_EQ(errorOf([&] { c.value.toI4(); }), c.error);
  EXPECT_EQ(str(u"-2147483648.5").toI4(), -2147483647 - 1);

  EXPECT_EQ(errorOf([] { Variant::fromI4(32768).toI2(); }), err::kOverflow);
  EXPECT_EQ(errorOf([] { cy(327675000).toI2(); }), err::kOverflow);
  EXPECT_EQ(Variant::fromI4(-32768).toI2(), -32768);
  EXPECT_EQ(str(u"-2.5").toI2(), -2);
  EXPECT_EQ(errorOf([] { Variant::null().toI2(); }), err::kInvalidUseOfNull);
  EXPECT_EQ(errorOf([] { Variant::null().toR8(); }), err::kInvalidUseOfNull);
  EXPECT_EQ(errorOf([] { Variant::null().toText(); }), err::kInvalidUseOfNull);
  EXPECT_EQ(errorOf([] { str(u"abc").toR8(); }), err::kTypeMismatch);
}

TEST(Variant, ToBool) {
  const Variant falsy[] = {Variant(), Variant::fromI2(0), Variant::fromR8(-0.0),
                           cy(0),     str(u"false"),      str(u"#FALSE#"),
                           str(u"0"), str(u"&H0")};
  const Variant truthy[] = {Variant::fromI4(7),
                            Variant::fromR4(0.1f),
                            Variant::fromR8(kNaN),
                            cy(1),
                            date(-1),
                            Variant::fromVBool(1),
                            str(u"True"),
                            str(u"TRUE"),
                            str(u" tRuE "),
                            str(u"#TRUE#"),
                            str(u"-1"),
                            str(u"0.1")};
  for (const Variant& v : falsy) EXPECT_EQ(v.toBool(), kFalse) << "case " << (&v - falsy);
  for (const Variant& v : truthy) EXPECT_EQ(v.toBool(), kTrue) << "case " << (&v - truthy);
  for (const char16_t* bad : {u"x", u"", u"#True#", u"Yes", u"Truex"}) {
    EXPECT_EQ(errorOf([&] { str(bad).toBool(); }), err::kTypeMismatch) << toUtf8(bad);
  }
  EXPECT_EQ(errorOf([] { Variant::null().toBool(); }), err::kInvalidUseOfNull);
}

TEST(Variant, ToR8) {
  EXPECT_EQ(Variant().toR8(), 0);
  EXPECT_EQ(Variant::fromBool(true).toR8(), -1);
  EXPECT_EQ(Variant::fromR4(0.1f).toR8(), double(0.1f));
  EXPECT_EQ(cy(15000).toR8(), 1.5);
  EXPECT_EQ(date(2.25).toR8(), 2.25);
  EXPECT_EQ(str(u"1,234.5").toR8(), 1234.5);
}

TEST(Variant, ToTextOfNumbers) {
  EXPECT_EQ(Variant().toText(), u"");
  EXPECT_EQ(Variant::fromBool(true).toText(), u"True");
  EXPECT_EQ(Variant::fromBool(false).toText(), u"False");
  EXPECT_EQ(Variant::fromI2(-32768).toText(), u"-32768");
  EXPECT_EQ(Variant::fromI4(2147483647).toText(), u"2147483647");
  const struct {
    double value;
    const char16_t* text;
  } reals[] = {{0.1 + 0.2, u"0.3"},
               {1.0 / 3, u"0.333333333333333"},
               {-2.5, u"-2.5"},
               {2.0 / 3, u"0.666666666666667"},
               {-0.0, u"0"},
               {123456789012345.0, u"123456789012345"},
               {1e20, u"1E+20"},
               {999999999999999.9, u"1E+15"},
               {1e100, u"1E+100"},
               {0.0001, u"0.0001"},
               {0.00001, u"1E-05"},
               {1.5e-7, u"1.5E-07"},
               {-1.25e-300, u"-1.25E-300"}};
  for (const auto& c : reals) EXPECT_EQ(Variant::fromR8(c.value).toText(), c.text) << c.value;
  // Single precision keeps 7 digits; an exact tie rounds away from zero.
  EXPECT_EQ(Variant::fromR4(0.1f).toText(), u"0.1");
  EXPECT_EQ(Variant::fromR4(1234567.0f).toText(), u"1234567");
  EXPECT_EQ(Variant::fromR4(1e7f).toText(), u"1E+07");
  EXPECT_EQ(Variant::fromR4(654322.25f).toText(), u"654322.3");
  EXPECT_EQ(cy(0).toText(), u"0");
  EXPECT_EQ(cy(-15000).toText(), u"-1.5");
  EXPECT_EQ(cy(9).toText(), u"0.0009");
  EXPECT_EQ(cy(std::numeric_limits<int64_t>::min()).toText(), u"-922337203685477.5808");
}

TEST(Variant, ToTextOfDates) {
  const struct {
    double days;
    const char16_t* text;
  } cases[] = {{0, u"12:00:00 AM"},
               {0.5, u"12:00:00 PM"},
               {3.34, u"1/2/1900 8:09:36 AM"},
               {365, u"12/30/1900"},
               {1461.5, u"12/31/1903 12:00:00 PM"},
               {36526.75, u"1/1/2000 6:00:00 PM"},
               {-1.25, u"12/29/1899 6:00:00 AM"},  // the fraction counts forward
               {-49192.24, u"4/24/1765 5:45:36 AM"},
               {-657434, u"1/1/100"},
               {2958465, u"12/31/9999"},
               {1.9999999, u"1/1/1900"}};  // rounds up to the next midnight
  for (const auto& c : cases) EXPECT_EQ(date(c.days).toText(), c.text) << c.days;
  EXPECT_EQ(errorOf([] { date(2958466).toText(); }), err::kInvalidCall);
  EXPECT_EQ(errorOf([] { date(-657435).toText(); }), err::kInvalidCall);
}

TEST(Variant, EqualityComparesTypeAndValue) {
  EXPECT_EQ(Variant(), Variant());
  EXPECT_EQ(Variant::fromBool(true), Variant::fromVBool(kTrue));
  EXPECT_EQ(str(u"a"), str(u"a"));
  EXPECT_NE(str(u"a"), str(u"A"));
  EXPECT_NE(Variant(), Variant::null());
  EXPECT_NE(Variant::fromI2(1), Variant::fromI4(1));
  EXPECT_NE(Variant::fromR4(1), Variant::fromR8(1));
  EXPECT_NE(Variant::fromR8(1), date(1));
  EXPECT_NE(Variant::fromI2(-1), Variant::fromBool(true));
  EXPECT_EQ(Variant::fromI4(0).type(), VarType::I4);
  EXPECT_EQ(cy(1).type(), VarType::CY);
  EXPECT_EQ(Variant::fromBool(false).type(), VarType::BOOL);
  EXPECT_TRUE(Variant().isEmpty());
}

}  // namespace
}  // namespace tavi
