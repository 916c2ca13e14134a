// SPDX-License-Identifier: GPL-3.0-or-later
// The not-a-knot splines: exact for cubics (a natural spline is not), and
// Tsuchiya 2003's table through them, against its nodes and SciPy's
// not-a-knot CubicSpline applied along both axes.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/CubicSpline.h"
#include "analysis/PressureScale.h"
#include "support/DataRows.h"

namespace vantor {
namespace {

double Cubic(double x) {
  return ((0.5 * x - 2) * x + 3) * x - 1;
}
double OtherCubic(double y) {
  return ((-0.25 * y + 1) * y - 0.5) * y + 2;
}

// A not-a-knot spline through any four or more points of a cubic is that cubic,
// between and beyond the nodes, however unevenly they lie.
TEST(NotAKnotSpline, ReproducesCubics) {
  const std::vector<double> x{-1, -0.2, 0.5, 2, 2.3, 4};
  const std::vector<double> y{0, 0.7, 1.1, 3};
  std::vector<double> fx, fxy;
  for (double xi : x) fx.push_back(Cubic(xi));
  for (double xi : x)
    for (double yj : y) fxy.push_back(Cubic(xi) * OtherCubic(yj));
  const NotAKnotSpline line(x, fx);
  const GridSpline grid(x, y, fxy);
  for (double at : {-2.0, -0.7, 0.1, 1.3, 2.1, 3.5, 5.0}) {
    EXPECT_NEAR(line(at), Cubic(at), 1e-12) << at;
    EXPECT_NEAR(grid(at, 0.3 * at), Cubic(at) * OtherCubic(0.3 * at), 1e-11) << at;
  }
}

TEST(NotAKnotSpline, TooFewOrUnorderedNodes_GiveNaN) {
  EXPECT_TRUE(std::isnan(NotAKnotSpline(std::vector<double>{0, 1, 2}, std::vector<double>{0, 1, 4})(1.5)));
  EXPECT_TRUE(std::isnan(NotAKnotSpline(std::vector<double>{0, 1, 1, 2}, std::vector<double>{0, 1, 1, 4})(1.5)));
  EXPECT_TRUE(std::isnan(GridSpline(std::vector<double>{0, 1, 2, 3}, std::vector<double>{0, 1, 2, 3},
                                    std::vector<double>(15, 1.0))(1, 1)));
}

const PressureScale& Tsuchiya() {
  return *FindScale("Au", "Tsuchiya2003");
}

TEST(Tsuchiya2003, PassesThroughEveryNodeOfTable1) {
  const double temperaturesK[] = {300, 500, 1000, 1500, 2000, 2500};
  int nodes = 0;
  for (const auto& row : test::DataRows("tsuchiya2003-table1.tsv")) {
    for (int j = 0; j < 6; ++j, ++nodes) {
      EXPECT_NEAR(Tsuchiya().pressureGPaAt(1 - std::stod(row[0]), temperaturesK[j]), std::stod(row[j + 1]), 1e-9)
          << row[0] << " " << temperaturesK[j];
    }
  }
  EXPECT_EQ(nodes, 108);
}

// Between and beyond the nodes. The first point is where the end condition shows:
// a natural spline gives 2.48202 there, 0.025 GPa more.
TEST(Tsuchiya2003, MatchesSciPysNotAKnotSplineBetweenAndBeyondNodes) {
  const struct {
    double compression, temperatureK, pressureGPa;
  } rows[] = {{0.01, 400, 2.4568964712298005},  {0.05, 1250, 16.825144191455202}, {0.17, 700, 56.60545970197046},
              {0.33, 2250, 221.72544266631257}, {0.33, 400, 212.90257228489077},  {-0.03, 300, -4.273680734826417},
              {0.36, 2700, 278.06903336301673}};
  for (const auto& row : rows)
    EXPECT_NEAR(Tsuchiya().pressureGPaAt(1 - row.compression, row.temperatureK), row.pressureGPa, 1e-9)
        << row.compression << " " << row.temperatureK;
}

}  // namespace
}  // namespace vantor
