// SPDX-License-Identifier: GPL-3.0-or-later
// Our .GSA files read back by the rules a GSAS reader applies to an
// energy-dispersive STD bank: the angle is the number after the title's first
// "theta" (any case); each 8-column field is a 2-digit counter number (I2,
// blank for 1) and a 6-character value (F6.0), the value's weight the
// inverse of value / counter number, so scaled values name their scale
// there (10, then 99 at most); field j (from 0) lies at the energy
// c1 + c2*j + c3*j^2 of the bank line's coefficients.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "formats/Gsa.h"

namespace vantor {
namespace {

// The number a text holds, blanks (and the CR) around; NaN for anything else.
double Number(const std::string& text) {
  char* end = nullptr;
  const double x = std::strtod(text.c_str(), &end);
  return end == text.c_str() || text.find_first_not_of(" \r", end - text.c_str()) != std::string::npos ? NAN : x;
}

struct Row {
  const char* title;
  double twoTheta;
  std::array<double, 3> egc;
  int n;
  std::int32_t low, high;  // the counts run between the two
  std::int64_t divisor;
  const char* note;  // after "counts "
};

class GsasReadBack : public ::testing::TestWithParam<Row> {};

TEST_P(GsasReadBack, EveryValueEnergyAndTheAngle) {
  const auto& p = GetParam();
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, p.title);
  r.Head.Measure.TwoTheta = p.twoTheta, r.Head.Measure.EGC = p.egc, r.Data.DataNumber = static_cast<std::int16_t>(p.n);
  const std::int64_t span = std::int64_t{p.high} - p.low;
  for (int i = 0; i < p.n; ++i)  // scattered over the span, both ends included
    r.Data.Count[i] = static_cast<std::int32_t>(p.low + (i == 1 ? span : i * 7'919'993LL % (span + 1)));
  const Encoded encoded = EncodeGsa(r);
  ASSERT_TRUE(encoded.failure.empty());
  EXPECT_EQ(encoded.note, p.note ? "counts " + std::string(p.note) : "");

  std::istringstream file(encoded.bytes);
  std::string title, line, word;
  std::getline(file, title);
  std::transform(title.begin(), title.end(), title.begin(), [](unsigned char c) { return std::tolower(c); });
  const auto theta = title.find("theta") + 5;
  EXPECT_EQ(Number(title.substr(theta, title.find("theta", theta) - theta)), p.twoTheta) << title;
  std::getline(file, line);
  std::istringstream bank(line);
  int channels = 0;
  double c[3];
  bank >> word >> word >> channels >> word >> word >> c[0] >> c[1] >> c[2];
  ASSERT_EQ(word, "EDS");
  EXPECT_EQ(channels, p.n);
  const std::string counter = p.divisor == 1 ? "  " : p.divisor == 10 ? "10" : "99";
  int j = 0;
  while (std::getline(file, line)) {
    for (std::size_t i = 0; i < 80 && line.substr(i, 10) != std::string(10, ' '); i += 8, ++j) {
      const double value = Number(line.substr(i + 2, 6));
      ASSERT_FALSE(std::isnan(value)) << line.substr(i, 8);
      ASSERT_EQ(line.substr(i, 2), j < p.n ? counter : "  ") << j;  // the last line's filling unweighted
      if (j >= p.n) continue;
      ASSERT_EQ(value, r.Data.Count[j] / p.divisor) << j;
      ASSERT_NEAR(c[0] + c[1] * j + c[2] * j * j, EnergyOfChannel(j + 1, p.egc), 3e-4) << j;
    }
  }
  EXPECT_EQ(j, (p.n + 9) / 10 * 10);
}

// Quadratic calibrations; counts up to the largest a record holds; titles
// with "theta".
const Row kRows[] = {
    {"2Theta scan, THETA", 123.4567, {0.2667, 0.04219, 1e-7}, 8192, 0, INT32_MAX, 10'000, "divided by 10^4"},
    {"theta", 5.001, {0.2667, 0.04219, -2.5e-7}, 4093, -9'999'999, 99'999'999, 100, "written as hundredths"},
    {"run", 20.0, {0, 0.03, 0}, 1000, 0, 9'999'999, 10, "written as tenths"},
    {"MgO", -7.5, {0.1, 0.03, 0}, 2048, -99'999, 999'999, 1, nullptr},
};
INSTANTIATE_TEST_SUITE_P(Rows, GsasReadBack, ::testing::ValuesIn(kRows));

}  // namespace
}  // namespace vantor
