// SPDX-License-Identifier: GPL-3.0-or-later
// Number masks on random values against a reference built another way
// (printf's 15-digit form, then rounding half away from zero on the decimal
// string), and masks too long for the formatting buffer. Rows at the edges
// are in tests/data/text-rows.tsv.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "base/TextFormat.h"

namespace vantor {
namespace {

// No mask can make the text outrun the formatting buffer: leading zeros stop
// at 309 (the most integer digits a double has), decimals at 64. Masks too
// long for the direct writers give the same texts the general way: a value
// below the last decimal is zero, whole numbers get their zero decimals,
// blanks in front and the exponent form.
TEST(MaskTest, VeryLongMasks_CappedNotOverrun) {
  const std::string zeros(5000, '0');
  EXPECT_EQ(FormatMask(7, zeros), std::string(308, '0') + "7");
  EXPECT_EQ(FormatMask(-1e300, zeros + "." + zeros).size(), 1 + 309 + 1 + 64u);
  EXPECT_EQ(FormatMask(3e-70, "0." + zeros), "0." + std::string(64, '0'));
  std::string whole, aligned, scientific;
  AppendMask(whole, std::int64_t{-7}, zeros + "." + zeros);
  EXPECT_EQ(whole, "-" + std::string(308, '0') + "7." + std::string(64, '0'));
  AppendAligned(aligned, std::int64_t{-3}, NumberMask(std::string(40, '#') + "0"));
  EXPECT_EQ(aligned, std::string(39, ' ') + "-3");
  AppendMask(scientific, std::int64_t{-123456}, "0.00E+00");
  EXPECT_EQ(scientific, "-1.23E+05");
}

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

std::size_t PointColumn(std::string_view text) {
  const auto point = text.find('.');
  return point == std::string_view::npos ? text.size() : point + 1;
}

const MaskShape kShapes[] = {{"0", 1, 0},         {"######", 0, 0},      {"#0.0", 1, 1}, {"0.00", 1, 2},
                             {"##0.00000", 1, 5}, {"######0.000", 1, 3}, {"0000", 4, 0}, {"#####0.000000", 1, 6}};

// Random values of every size, and values at and next to half-way points,
// where a shortcut through binary arithmetic would go wrong: masked and
// aligned texts against the reference, whole numbers against their digits.
// The masks start from the value's 15-digit decimal form, for which the C
// library's printer is the reference, also around 1e-5, the edge of the
// exact integer path.
TEST(NumberMask, RandomAndHalfWayValues_MatchTheReferences) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-14, 17);
  const auto printed = [](double v) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.14E", v);
    ASSERT_EQ(FormatMask(v, "0.00000000000000E+00"), expected) << v;
  };
  for (int i = 0; i < 100000; ++i) {
    const MaskShape& shape = kShapes[i % std::size(kShapes)];
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    const double halfWay = (static_cast<double>(random() % 100000000) + 0.5) * std::pow(10.0, -shape.decimals);
    for (const double v : {value, halfWay, -std::nextafter(halfWay, 0.0), std::nextafter(halfWay, 1e300)})
      ASSERT_EQ(FormatMask(v, shape.mask), Reference(v, shape)) << v << " with " << shape.mask;
    printed(value);
    const std::string masked = Reference(value, shape);
    const std::size_t blanks = std::max(PointColumn(shape.mask), PointColumn(masked)) - PointColumn(masked);
    std::string aligned;
    AppendAligned(aligned, value, NumberMask(shape.mask));
    ASSERT_EQ(aligned, std::string(blanks, ' ') + masked) << value << " with " << shape.mask;
    const auto whole = static_cast<std::int64_t>(random()) >> (i % 2 ? 0 : 15);  // or within 15 digits
    std::string digits = whole == 0 ? "" : std::to_string(whole).substr(whole < 0 ? 1 : 0);
    if (digits.size() < static_cast<std::size_t>(shape.minIntegerDigits))
      digits.insert(0, shape.minIntegerDigits - digits.size(), '0');
    std::string direct;
    AppendMask(direct, whole, NumberMask(shape.mask));
    ASSERT_EQ(direct, (whole < 0 ? "-" : "") + digits + (shape.decimals ? "." + std::string(shape.decimals, '0') : ""))
        << whole << " with " << shape.mask;
    if (i % 2 == 0) {
      ASSERT_EQ(direct, FormatMask(static_cast<double>(whole), shape.mask)) << whole;
    }
  }
  for (double v : {1e-5, 9.99999999999999e-6, 1e15, 999999999999999.9, 2.675}) printed(v);
  for (std::uint64_t bits = 0x3EE4F8B588E368F0ULL; bits < 0x3EE4F8B588E368F0ULL + 1000; ++bits)
    printed(std::bit_cast<double>(bits));
}

// Value and sigma to the sigma's second significant digit.
TEST(FormatUncertain, RoundsBothToTheSigmasSecondDigit) {
  const struct {
    double value, sigma;
    const char* brackets;
    const char* plusMinus;
  } rows[] = {
      {42.87764, 0.00163, "42.8776(16)", "42.8776 \u00b1 0.0016"},
      {6.498571, 0.000163, "6.49857(16)", "6.49857 \u00b1 0.00016"},
      {-0.031, 0.0996, "-0.031(100)", "-0.031 \u00b1 0.100"},
      {12345.4, 163, "12345(160)", "12345 \u00b1 160"},
      {2.5, 1.04, "2.5(10)", "2.5 \u00b1 1.0"},
      {2.5, 0, "2.5", "2.5"},
      {2.5, NAN, "2.5", "2.5"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FormatUncertain(r.value, r.sigma), r.brackets);
    EXPECT_EQ(FormatUncertain(r.value, r.sigma, true), r.plusMinus);
  }
}

}  // namespace
}  // namespace vantor
