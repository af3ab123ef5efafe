#include "shell/variant.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <string_view>

#include "support/error_number.h"

namespace tavi {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kMinI4 = std::numeric_limits<int32_t>::min();

const Variant kEmpty;
const Variant kNull = Variant::null();
Variant boolean(bool b) { return Variant::fromBool(b); }
Variant i2(int16_t v) { return Variant::fromI2(v); }
Variant i4(int32_t v) { return Variant::fromI4(v); }
Variant r4(float v) { return Variant::fromR4(v); }
Variant r8(double v) { return Variant::fromR8(v); }
Variant cy(int64_t scaled) { return Variant::fromCurrency(Currency{scaled}); }
Variant date(double days) { return Variant::fromDate(Date{days}); }
Variant str(const char16_t* s) { return Variant::fromString(s); }

template <typename T>
struct Result {
  Variant in;
  T out;
};
using Failure = Result<int>;  // the runtime error number thrown

template <typename T, size_t N, typename Convert>
void expectResults(const Result<T> (&rows)[N], Convert convert) {
  for (size_t i = 0; i < N; ++i)
    EXPECT_EQ(std::invoke(convert, rows[i].in), rows[i].out) << "row " << i;
}

template <size_t N, typename Convert>
void expectErrors(const Failure (&rows)[N], Convert convert) {
  for (size_t i = 0; i < N; ++i)
    EXPECT_EQ(testing::errorNumberOf([&] { (void)std::invoke(convert, rows[i].in); }), rows[i].out)
        << "row " << i;
}

// A thrown error's number, HRESULT and description reach the host in the properties scenario.
TEST(RuntimeError, DescribesNumbersOfTheRuntimeTableAndOthers) {
  EXPECT_EQ(errorDescription(521), "Can't open Clipboard");
  EXPECT_EQ(errorDescription(1234), "Application-defined or object-defined error");
}

// Strings are read as the runtime parses numbers; every numeric conversion shares it.
TEST(Variant, ToR8ParsesTheRuntimeNumberForms) {
  const Result<double> results[] = {
      {kEmpty, 0},          {boolean(true), -1},    {r4(0.1f), 0.1f},
      {cy(15000), 1.5},     {date(2.25), 2.25},     {str(u"\t-7\r\n"), -7},
      {str(u"+3"), 3},      {str(u"-.5"), -0.5},    {str(u"1,2,3.5"), 123.5},
      {str(u"5."), 5},      {str(u"1e3"), 1000},    {str(u"1e+-2"), 0.01},
      {str(u"25E-1"), 2.5}, {str(u"1e-400"), 0},    {str(u"&H7FFFFFFF"), 2147483647},
      {str(u"&hff"), 255},  {str(u"-&H10"), 16},    {str(u"&H80000000"), kMinI4},
      {str(u"&O17"), 15},   {str(u"1,2e1,5"), 1250}};
  expectResults(results, &Variant::toR8);
  const Failure failures[] = {{str(u""), 13},      {str(u"12x"), 13},        {str(u"1 2"), 13},
                              {str(u"."), 13},     {str(u"1e+"), 13},        {str(u"e5"), 13},
                              {str(u"&O8"), 13},   {str(u"--1"), 13},        {str(u"True"), 13},
                              {str(u"1e400"), 6},  {str(u"&H100000000"), 6}, {kNull, 94},
                              {str(u"1.5D2"), 13}, {str(u"&HFFFFFFFF"), 6},  {str(u"$1e3"), 13}};
  expectErrors(failures, &Variant::toR8);
}

// Ties go to the even neighbour, also for currency; the range is checked after rounding.
TEST(Variant, ToI4RoundsTiesToEven) {
  const Result<int32_t> results[] = {
      {kEmpty, 0},    {boolean(true), -1}, {date(1.75), 2},  {r8(2147483647.4), 2147483647},
      {i2(-5), -5},   {r4(2.5f), 2},       {str(u"2.5"), 2}, {r8(-2147483648.5), kMinI4},
      {r8(3.5), 4},   {r8(-3.5), -4},      {r8(2.6), 3},     {r8(-2.6), -3},
      {cy(25000), 2}, {cy(35000), 4},      {cy(-25000), -2}, {cy(-25001), -3}};
  expectResults(results, &Variant::toI4);
  const Failure failures[] = {{r8(2147483647.5), 6},   {r8(-2147483648.6), 6}, {r8(kNaN), 6},
                              {cy(21474836475000), 6}, {str(u"x"), 13},        {kNull, 94}};
  expectErrors(failures, &Variant::toI4);
}

TEST(Variant, ToI2ChecksItsOwnRange) {
  const Result<int16_t> results[] = {
      {i4(-32768), -32768}, {r8(-32768.5), -32768}, {str(u"-2.5"), -2}};
  expectResults(results, &Variant::toI2);
  const Failure failures[] = {{i4(32768), 6}, {r8(32767.5), 6}, {cy(327675000), 6}, {kNull, 94}};
  expectErrors(failures, &Variant::toI2);
}

// Words in any case, the whole string; "#TRUE#" and "#FALSE#" in capitals only; otherwise
// a number, where anything but zero (NaN too) is True.
TEST(Variant, ToBool) {
  const Result<VBool> results[] = {
      {kEmpty, kFalse},     {i2(0), kFalse},        {Variant::fromVBool(1), kTrue},
      {i4(7), kTrue},       {r8(-0.0), kFalse},     {str(u"tRuE"), kTrue},
      {r8(kNaN), kTrue},    {cy(1), kTrue},         {str(u"false"), kFalse},
      {date(-1), kTrue},    {str(u"0"), kFalse},    {str(u"#FALSE#"), kFalse},
      {str(u"0.1"), kTrue}, {str(u"#TRUE#"), kTrue}};
  expectResults(results, &Variant::toBool);
  const Failure failures[] = {
      {str(u"#True#"), 13}, {str(u"Truex"), 13}, {str(u""), 13}, {kNull, 94}, {str(u" True"), 13}};
  expectErrors(failures, &Variant::toBool);
}

// The forms the system's parser takes beyond plain numbers, each in the conversion it
// matters to: a string arriving from a script is read as the platform reads it.
TEST(Variant, StringsReadAsTheSystemReadsThem) {
  using namespace std::literals;
  const Text long400(400, u'1');
  struct Case {
    std::u16string_view in;
    int32_t i4;
    int16_t i2;
  };
  const Case numbers[] = {
      {.in = u"(5)", .i4 = -5, .i2 = -5},
      {.in = u"5-", .i4 = -5, .i2 = -5},
      {.in = u"-(5", .i4 = -5, .i2 = -5},
      {.in = u"5+", .i4 = 5, .i2 = 5},
      {.in = u"$5", .i4 = 5, .i2 = 5},
      {.in = u"($1,234.5)", .i4 = -1234, .i2 = -1234},
      {.in = u"\u00A0 7\u3000", .i4 = 7, .i2 = 7},
      {.in = u"12\0junk"sv, .i4 = 12, .i2 = 12},
      {.in = u"&HFFFF", .i4 = 65535, .i2 = -1},
      {.in = u"&H8000", .i4 = 32768, .i2 = -32768},
      {.in = u"-&H10", .i4 = 16, .i2 = 16},
      {.in = u"0.06", .i4 = 0, .i2 = 0},
      {.in = u"2.5000000000000000001", .i4 = 3, .i2 = 3},
      {.in = u"-32768.5", .i4 = -32768, .i2 = -32768},
  };
  for (size_t i = 0; i < std::size(numbers); ++i) {
    const Variant v = Variant::fromString(Text(numbers[i].in));
    EXPECT_EQ(v.toI4(), numbers[i].i4) << "row " << i;
    EXPECT_EQ(v.toI2(), numbers[i].i2) << "row " << i;
  }
  const Failure i2Failures[] = {{str(u"&H10000"), 6}, {str(u"32767.5"), 6}, {str(u"(5"), 13},
                                {str(u"5)"), 13},     {str(u"-5-"), 13},    {str(u",5"), 13}};
  expectErrors(i2Failures, &Variant::toI2);
  const Failure i4Failures[] = {{str(u"&HFFFFFFFF0"), 6}, {Variant::fromString(long400), 6}};
  expectErrors(i4Failures, &Variant::toI4);
  const Failure r8Failures[] = {{Variant::fromString(long400), 6}};
  expectErrors(r8Failures, &Variant::toR8);
  EXPECT_EQ(Variant::fromString(Text(u"True\0x"sv)).toBool(), kTrue);
  EXPECT_EQ(str(u"(0)").toBool(), kFalse);
}

// Doubles keep 15 significant digits and singles 7 (ties away from zero), in exponent
// form below 1E-4 and from 10^digits up. Dates are en-US short date and long time; the
// fraction is always the time of that day, also before 1900, and may round up to the
// next midnight.
TEST(Variant, ToText) {
  const Result<Text> numbers[] = {
      {boolean(false), u"False"}, {r8(-0.0), u"0"},      {i4(2147483647), u"2147483647"},
      {boolean(true), u"True"},   {r4(0.1f), u"0.1"},    {r8(2.0 / 3), u"0.666666666666667"},
      {i2(-32768), u"-32768"},    {r4(1e7f), u"1E+07"},  {r8(123456789012345), u"123456789012345"},
      {r8(0.1 + 0.2), u"0.3"},    {cy(20000), u"2"},     {r8(999999999999999.9), u"1E+15"},
      {r8(0.0001), u"0.0001"},    {cy(-15000), u"-1.5"}, {r8(-1.25e-300), u"-1.25E-300"},
      {r8(0.00001), u"1E-05"},    {cy(9), u"0.0009"},    {r4(654322.25f), u"654322.3"},
      {r8(-2.5), u"-2.5"},        {kEmpty, u""},         {cy(INT64_MIN), u"-922337203685477.5808"},
      {r8(1e20), u"1E+20"}};
  expectResults(numbers, &Variant::toText);
  const Result<Text> dates[] = {
      {date(0), u"12:00:00 AM"},     {date(3.34), u"1/2/1900 8:09:36 AM"},
      {date(0.5), u"12:00:00 PM"},   {date(1461.5), u"12/31/1903 12:00:00 PM"},
      {date(365), u"12/30/1900"},    {date(-1.25), u"12/29/1899 6:00:00 AM"},
      {date(-657434), u"1/1/100"},   {date(2958465), u"12/31/9999"},
      {date(1.9999999), u"1/1/1900"}};
  expectResults(dates, &Variant::toText);
  const Failure failures[] = {{date(2958466), 5}, {date(-657435), 5}, {kNull, 94}};
  expectErrors(failures, &Variant::toText);
}

TEST(Variant, EqualityComparesTypeAndValue) {
  EXPECT_EQ(boolean(true), Variant::fromVBool(kTrue));
  EXPECT_NE(str(u"a"), str(u"A"));
  EXPECT_NE(kEmpty, kNull);
  EXPECT_NE(i2(1), i4(1));
  EXPECT_NE(r4(1), r8(1));
  EXPECT_NE(r8(1), date(1));
  EXPECT_NE(i2(-1), boolean(true));
}

}  // namespace
}  // namespace tavi
