// SPDX-License-Identifier: GPL-3.0-or-later
// The fit's convergence measures on a linear least-squares problem, where
// the minimum is known exactly: the decrease a Gauss-Newton step promises
// is the drop of chi-square to the minimum, with or without a parameter
// held, and the norm of a displacement is the chi-square it adds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/PeakNormal.h"

namespace vantor {
namespace {

// Residuals f = J x - y of a straight line, a bump and (for six
// parameters, the unrolled sums of a one-peak fit) a parabola, a wave and
// a step through 9 points.
constexpr std::size_t kRows = 9;
std::vector<double> Design(std::size_t parameters) {
  std::vector<double> j;
  for (std::size_t k = 0; k < kRows; ++k) {
    const double x = static_cast<double>(k) - 4;
    const std::vector<double> row{1.0, x, 1 / (1 + x * x), x * x, std::cos(x), x > 0 ? 1.0 : 0.0};
    j.insert(j.end(), row.begin(), row.begin() + static_cast<std::ptrdiff_t>(parameters));
  }
  return j;
}
const std::vector<double> kCounts{3, 1, 4, 1, 5, 9, 2, 6, 5};

std::vector<double> Residuals(const std::vector<double>& j, const std::vector<double>& p) {
  std::vector<double> f(kRows);
  for (std::size_t k = 0; k < kRows; ++k) {
    f[k] = -kCounts[k];
    for (std::size_t i = 0; i < p.size(); ++i) f[k] += j[k * p.size() + i] * p[i];
  }
  return f;
}

double ChiSquared(const std::vector<double>& j, const std::vector<double>& p) {
  double sum = 0;
  for (double f : Residuals(j, p)) sum += f * f;
  return sum;
}

// J^T J into the matrix, and J^T f at p, row by row as the fit gives them.
std::vector<double> Accumulate(NormalMatrix& normal, const std::vector<double>& j, const std::vector<double>& p) {
  const std::size_t np = p.size();
  const auto f = Residuals(j, p);
  std::vector<double> g(np);
  normal.Accumulate(
      kRows, np, [&](std::size_t k, double* r) { std::copy_n(j.begin() + static_cast<std::ptrdiff_t>(k * np), np, r); },
      f.data(), 1, g);
  return g;
}

TEST(NormalMatrix_LinearProblem, StepReachesTheMinimumAndPromisesItsDrop) {
  for (const std::size_t np : {std::size_t{3}, std::size_t{6}}) {
    SCOPED_TRACE(np);
    const auto j = Design(np);
    const std::vector<double> start(np, 0.5);
    std::vector<bool> held(np, false);
    for (const bool holdLast : {false, true}) {
      held.back() = holdLast;
      NormalMatrix normal;
      const double decrease = normal.NewtonDecrease(Accumulate(normal, j, start), held);
      std::vector<double> end = start;
      for (std::size_t i = 0; i < np; ++i) end[i] -= normal.Step()[i];
      EXPECT_NEAR(ChiSquared(j, start) - ChiSquared(j, end), decrease, 1e-9);
      if (holdLast) {
        EXPECT_EQ(end.back(), start.back());
      }
      // At the minimum (of the free parameters) the gradient along them is 0.
      const auto g = Accumulate(normal, j, end);
      for (std::size_t i = 0; i < np; ++i) {
        if (!held[i]) {
          EXPECT_NEAR(g[i], 0, 1e-9);
        }
      }
      std::vector<double> moved(np);
      for (std::size_t i = 0; i < np; ++i) moved[i] = end[i] - start[i];
      // Linear: chi-square at the start is the minimum plus the norm of the way there.
      EXPECT_NEAR(normal.Norm(moved), decrease, 1e-9);
    }
  }
}

// The covariance's inverse: A A^-1 = 1 for a correlation matrix, none for
// one whose parameters are not all determined (third row the sum of the
// first two, scaled to a unit diagonal).
TEST(InvertUnitDiagonal, InvertsOrRefusesTheUndetermined) {
  const std::vector<double> a{1, 0.6, -0.3, 0.6, 1, 0.2, -0.3, 0.2, 1};
  const auto inverse = InvertUnitDiagonal(a, 3);
  ASSERT_TRUE(inverse);
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < 3; ++j) {
      double sum = 0;
      for (std::size_t k = 0; k < 3; ++k) sum += a[i * 3 + k] * (*inverse)[k * 3 + j];
      EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-12);
    }
  }
  const double c = 1 / std::sqrt(2.0);
  EXPECT_FALSE(InvertUnitDiagonal(std::vector<double>{1, 0, c, 0, 1, c, c, c, 1}, 3));
}

}  // namespace
}  // namespace vantor
