// Number masks, aligned and plain number text: rows at the edges, and random
// values against a reference built another way (printf's 15-digit form, then
// rounding half away from zero on the decimal string).
#include "base/TextFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace vantor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct MaskRow {
  double value;
  const char* mask;
  const char* expected;
};

class MaskTest : public ::testing::TestWithParam<MaskRow> {};

TEST_P(MaskTest, FormatsAsTheMaskSays) {
  EXPECT_EQ(FormatMask(GetParam().value, GetParam().mask), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MaskTest,
    ::testing::Values(
        // integer part never cut; "#" only writes nothing for zero; leading zeros
        MaskRow{1234.5678, "#0.00", "1234.57"}, MaskRow{-5, "######0", "-5"}, MaskRow{0, "######", ""},
        MaskRow{0.4, "######", ""}, MaskRow{7, "0000", "0007"}, MaskRow{123, "00", "123"},
        // half away from zero on the decimal form, not the binary value
        MaskRow{2.675, "0.00", "2.68"}, MaskRow{-2.675, "0.00", "-2.68"}, MaskRow{2.5, "0", "3"},
        MaskRow{-0.5, "0", "-1"}, MaskRow{9.9995, "0.000", "10.000"}, MaskRow{0.00049, "##0.000", "0.000"},
        // a negative value rounding to zero keeps its sign; -0 has none
        MaskRow{-0.0004, "##0.000", "-0.000"}, MaskRow{-0.0, "##0.000", "0.000"},
        MaskRow{123456789012345678.0, "#0.00", "123456789012346000.00"}, MaskRow{1e-20, "0.000", "0.000"},
        MaskRow{kNaN, "##0.000", "NaN"}, MaskRow{kInf, "0", "Inf"}, MaskRow{-kInf, "0.00000E+00", "-Inf"},
        // scientific masks
        MaskRow{0.26673, "0.00000E+000", "2.66730E-001"}, MaskRow{0, "0.00000E+00", "0.00000E+00"},
        MaskRow{-1.5e-7, "0.00000E+000", "-1.50000E-007"}, MaskRow{9.999996, "0.00000E+00", "1.00000E+01"},
        MaskRow{1e-123, "0.00000E+00", "1.00000E-123"}, MaskRow{-0.0, "0.00000E+00", "0.00000E+00"}));

TEST(MaskTest, HugeValuesKeepEveryIntegerDigit) {
  EXPECT_EQ(FormatMask(1e300, "0"), "1" + std::string(300, '0'));
  EXPECT_EQ(FormatMask(-1.5e20, "#0.0"), "-150000000000000000000.0");
}

// No mask can make the text outrun the formatting buffer: leading zeros stop
// at 309 (the most integer digits a double has), decimals at 64.
TEST(MaskTest, VeryLongMasks_CappedNotOverrun) {
  const std::string zeros(5000, '0');
  EXPECT_EQ(FormatMask(7, zeros), std::string(308, '0') + "7");
  EXPECT_EQ(FormatMask(-1e300, zeros + "." + zeros).size(), 1 + 309 + 1 + 64u);
  std::string whole;
  AppendMask(whole, std::int64_t{-7}, zeros);
  EXPECT_EQ(whole, "-" + std::string(308, '0') + "7");
}

TEST(MaskTest, IntegerOverloadMatchesDouble) {
  for (const std::int64_t v : {0LL, -1LL, 9999999LL, -2147483648LL})
    for (const char* mask : {"######0", "######", "0000", "###0.000"}) {
      std::string a, b;
      AppendMask(a, v, mask);
      AppendMask(b, static_cast<double>(v), mask);
      EXPECT_EQ(a, b) << v << " " << mask;
    }
}

TEST(FormatAlignedTest, LinesUpOnThePoint) {
  EXPECT_EQ(FormatAligned(12.5, "######0.000"), "     12.500");
  EXPECT_EQ(FormatAligned(1234567.25, "##0.00"), "1234567.25");
  EXPECT_EQ(FormatAligned(-3, "###0"), "  -3");
  EXPECT_EQ(FormatAligned(kInf, "##0.000"), " Inf");
}

TEST(FormatPlainTest, FifteenDigitsNoTrailingZeros) {
  const std::pair<double, const char*> rows[] = {
      {300, "300"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"}, {0.0001, "0.0001"},
      {-0.000015, "-1.5E-05"}, {123456789012345.0, "123456789012345"}, {1e15, "1E+15"}, {1.5e300, "1.5E+300"},
      {kNaN, "NaN"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(FormatPlain(value), text);
}

TEST(FormatTwoDigitTextTest, NumericTextsOnly) {
  EXPECT_EQ(FormatTwoDigitText(" 9"), "09");
  EXPECT_EQ(FormatTwoDigitText("+9"), "09");
  EXPECT_EQ(FormatTwoDigitText("ab"), "ab");
}

// ---- random values against the reference

struct MaskShape {
  const char* mask;
  int minIntegerDigits, decimals;
};

std::string Reference(double value, const MaskShape& shape) {
  std::string units = "0";  // the value in units of 10^-decimals, rounded
  if (value != 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    const std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
    const int keep = std::atoi(std::strchr(buf, 'e') + 1) + shape.decimals + 1;
    if (keep >= 15) {
      units = digits + std::string(keep - 15, '0');
    } else if (keep >= 0) {
      units = "0" + digits.substr(0, keep);
      if (digits[keep] >= '5') {
        int i = static_cast<int>(units.size()) - 1;
        while (units[i] == '9') units[i--] = '0';
        ++units[i];
      }
    }
  }
  while (units.size() > 1 && units[0] == '0') units.erase(0, 1);
  if (units.size() <= static_cast<std::size_t>(shape.decimals))
    units = std::string(shape.decimals + 1 - units.size(), '0') + units;
  std::string integer = units.substr(0, units.size() - shape.decimals);
  if (integer == "0") integer.clear();
  if (integer.size() < static_cast<std::size_t>(shape.minIntegerDigits))
    integer = std::string(shape.minIntegerDigits - integer.size(), '0') + integer;
  std::string out = std::signbit(value) && value != 0 ? "-" + integer : integer;
  return shape.decimals > 0 ? out + "." + units.substr(units.size() - shape.decimals) : out;
}

const MaskShape kShapes[] = {{"0", 1, 0},        {"######", 0, 0},       {"#0.0", 1, 1},  {"0.00", 1, 2},
                             {"##0.00000", 1, 5}, {"######0.000", 1, 3}, {"0000", 4, 0}, {"#####0.000000", 1, 6}};

// Random values of every size, and values at and next to half-way points,
// where a shortcut through binary arithmetic would go wrong; the direct
// writers of the channel loops must agree with the general path.
TEST(NumberMask, RandomAndHalfWayValues_MatchReferenceAndGeneralPath) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-14, 17);
  for (int i = 0; i < 100000; ++i) {
    const MaskShape& shape = kShapes[i % std::size(kShapes)];
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    const double halfWay = (static_cast<double>(random() % 100000000) + 0.5) * std::pow(10.0, -shape.decimals);
    for (const double v : {value, halfWay, -std::nextafter(halfWay, 0.0), std::nextafter(halfWay, 1e300)})
      ASSERT_EQ(FormatMask(v, shape.mask), Reference(v, shape)) << v << " with " << shape.mask;
    const NumberMask parsed(shape.mask);
    std::string direct, general;
    AppendAligned(direct, value, parsed);
    AppendAligned(general, value, std::string_view(shape.mask));
    ASSERT_EQ(direct, general) << value << " with " << shape.mask;
    const auto whole = static_cast<std::int64_t>(random());
    direct.clear(), general.clear();
    AppendMask(direct, whole, parsed);
    AppendMask(general, whole, std::string_view(shape.mask));
    ASSERT_EQ(direct, general) << whole << " with " << shape.mask;
  }
}

// The masks start from the value's 15-digit decimal form; the C library's
// printer is the reference for it, including around 1e-5, the edge of the
// exact integer path.
TEST(NumberMask, FifteenDigitFormMatchesThePrinter) {
  std::mt19937_64 random(20061205);
  std::uniform_real_distribution<double> exponent(-12, 18), unit(1, 10);
  auto check = [](double v) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.14E", v);
    ASSERT_EQ(FormatMask(v, "0.00000000000000E+00"), expected) << v;
  };
  for (int i = 0; i < 100000; ++i) check((i % 2 ? -1 : 1) * unit(random) * std::pow(10.0, std::floor(exponent(random))));
  for (double v : {1e-5, 9.99999999999999e-6, 1e15, 999999999999999.9, 2.675}) check(v);
  for (std::uint64_t bits = 0x3EE4F8B588E368F0ULL; bits < 0x3EE4F8B588E368F0ULL + 1000; ++bits) {
    double v;
    std::memcpy(&v, &bits, 8);
    check(v);
  }
}

}  // namespace
}  // namespace vantor
