// SPDX-License-Identifier: GPL-3.0-or-later
// The fit's convergence measures on a linear least-squares problem, where
// the minimum is known exactly: the decrease a Gauss-Newton step promises
// is the drop of chi-square to the minimum, with or without a parameter
// held, and the norm of a displacement is the chi-square it adds.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/PeakNormal.h"

namespace vantor {
namespace {

// Residuals f = J x - y of a straight line and a bump through 7 points.
constexpr std::size_t kRows = 7, kParameters = 3;
std::vector<double> Design() {
  std::vector<double> j;
  for (std::size_t k = 0; k < kRows; ++k) {
    const double x = static_cast<double>(k) - 3;
    j.insert(j.end(), {1.0, x, 1 / (1 + x * x)});
  }
  return j;
}
const std::vector<double> kCounts{3, 1, 4, 1, 5, 9, 2};

double ChiSquared(const std::vector<double>& j, const std::vector<double>& p) {
  double sum = 0;
  for (std::size_t k = 0; k < kRows; ++k) {
    double f = -kCounts[k];
    for (std::size_t i = 0; i < kParameters; ++i) f += j[k * kParameters + i] * p[i];
    sum += f * f;
  }
  return sum;
}

std::vector<double> Gradient(const std::vector<double>& j, const std::vector<double>& p) {
  std::vector<double> g(kParameters, 0.0);
  for (std::size_t k = 0; k < kRows; ++k) {
    double f = -kCounts[k];
    for (std::size_t i = 0; i < kParameters; ++i) f += j[k * kParameters + i] * p[i];
    for (std::size_t i = 0; i < kParameters; ++i) g[i] += j[k * kParameters + i] * f;
  }
  return g;
}

TEST(NormalMatrix_LinearProblem, StepReachesTheMinimumAndPromisesItsDrop) {
  const auto j = Design();
  NormalMatrix normal;
  normal.Take(j.data(), kRows, kParameters, kParameters);
  const std::vector<double> start{1, 0.5, -2};
  for (const std::vector<bool>& held :
       {std::vector<bool>{false, false, false}, std::vector<bool>{false, false, true}}) {
    const double decrease = normal.NewtonDecrease(Gradient(j, start), held);
    std::vector<double> end = start;
    for (std::size_t i = 0; i < kParameters; ++i) end[i] -= normal.Step()[i];
    EXPECT_NEAR(ChiSquared(j, start) - ChiSquared(j, end), decrease, 1e-9);
    if (held[2]) {
      EXPECT_EQ(end[2], start[2]);
    }
    // At the minimum (of the free parameters) the gradient along them is 0.
    const auto g = Gradient(j, end);
    for (std::size_t i = 0; i < kParameters; ++i) {
      if (!held[i]) {
        EXPECT_NEAR(g[i], 0, 1e-9);
      }
    }
    std::vector<double> moved(kParameters);
    for (std::size_t i = 0; i < kParameters; ++i) moved[i] = end[i] - start[i];
    // Linear: chi-square at the start is the minimum plus the norm of the way there.
    EXPECT_NEAR(normal.Norm(moved), decrease, 1e-9);
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
