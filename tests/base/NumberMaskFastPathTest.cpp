// Digit masks against a reference built another way (printf's 15-digit form,
// then rounding half away from zero on the decimal string), over random
// values of every size and values at and next to half-way points, where a
// shortcut through binary arithmetic would go wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "base/TextFormat.h"

namespace vantor {
namespace {

struct MaskShape {
  const char* mask;
  int minIntegerDigits;
  int decimals;
};

std::string Reference(double value, const MaskShape& shape) {
  const bool negative = std::signbit(value) && value != 0;
  std::string units = "0";  // the value in units of 10^-decimals, rounded
  if (value != 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    const int keep = exponent + shape.decimals + 1;  // digits at or above 10^-decimals
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
  std::string out = negative ? "-" : "";
  out += integer;
  if (shape.decimals > 0) out += "." + units.substr(units.size() - shape.decimals);
  return out;
}

const MaskShape kShapes[] = {
    {"0", 1, 0},      {"######", 0, 0},    {"#0.0", 1, 1},        {"0.00", 1, 2},          {"#0.000", 1, 3},
    {"0.0000", 1, 4}, {"##0.00000", 1, 5}, {"######0.000", 1, 3}, {"#####0.000000", 1, 6}, {"0000", 4, 0},
};

TEST(NumberMask, RandomValues_MatchDecimalReference) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-14, 17);
  for (int i = 0; i < 100000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    const MaskShape& shape = kShapes[i % std::size(kShapes)];
    ASSERT_EQ(FormatMask(value, shape.mask), Reference(value, shape)) << value << " with " << shape.mask;
  }
}

// The direct writers of the channel loops against the general path.
TEST(NumberMask, ParsedMaskAligned_MatchesTextMaskAligned) {
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-8, 12);
  for (int i = 0; i < 50000; ++i) {
    const MaskShape& shape = kShapes[i % std::size(kShapes)];
    const NumberMask mask(shape.mask);
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    std::string direct;
    AppendAligned(direct, value, mask);
    ASSERT_EQ(direct, FormatAligned(value, shape.mask)) << value << " with " << shape.mask;
    const auto whole = static_cast<std::int64_t>(random());
    std::string directWhole, general;
    AppendAligned(directWhole, whole, mask);
    AppendAligned(general, whole, std::string_view(shape.mask));
    ASSERT_EQ(directWhole, general) << whole << " with " << shape.mask;
  }
}

TEST(NumberMask, HalfWayValuesAndTheirNeighbours_MatchDecimalReference) {
  std::mt19937_64 random(777);
  for (int i = 0; i < 100000; ++i) {
    const MaskShape& shape = kShapes[i % std::size(kShapes)];
    const double unit = std::pow(10.0, -shape.decimals);
    const double whole = static_cast<double>(random() % 100000000);
    const double halfWay = (whole + 0.5) * unit * (i % 2 ? 1 : -1);
    for (double value : {halfWay, std::nextafter(halfWay, 0.0), std::nextafter(halfWay, 1e300), halfWay * (1 + 1e-13),
                         halfWay * (1 - 1e-13)}) {
      ASSERT_EQ(FormatMask(value, shape.mask), Reference(value, shape)) << value << " with " << shape.mask;
    }
  }
}

}  // namespace
}  // namespace vantor
