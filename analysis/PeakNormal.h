// SPDX-License-Identifier: GPL-3.0-or-later
// The normal matrix A = J^T J of a weighted least-squares fit and what the
// peak fit asks of it between the solver's steps: how far the minimum still
// is, and how long a step was, both in the metric whose inverse is the
// covariance, so that they come out in sigmas whatever the parameters'
// units. Small dense matrices (a few peaks' parameters); no allocation once
// sized.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace vantor {

class NormalMatrix {
 public:
  // A from the rows of a weighted Jacobian (rows x parameters, row stride
  // `stride`).
  void Take(const double* jacobian, std::size_t rows, std::size_t parameters, std::size_t stride);

  std::size_t Parameters() const { return n_; }
  double At(std::size_t i, std::size_t j) const { return i >= j ? a_[i * n_ + j] : a_[j * n_ + i]; }

  // The Gauss-Newton step A^-1 g for the gradient g = J^T f (the minimum
  // lies at minus it), with the parameters marked in `held` kept where they
  // are; returns the decrease of chi-square it brings, g^T A^-1 g, the
  // squared distance to the minimum in sigmas. A parameter the matrix does
  // not determine is held as well. The step is left in Step().
  double NewtonDecrease(std::span<const double> gradient, const std::vector<bool>& held);
  std::span<const double> Step() const { return step_; }

  // d^T A d: the change of chi-square a displacement d brings.
  double Norm(std::span<const double> d) const;

 private:
  std::size_t n_ = 0;
  std::vector<double> a_;  // lower triangle, row-major n x n
  std::vector<double> factor_, step_;
};

// The inverse of a symmetric np x np matrix (row-major) with a unit
// diagonal; none when it is not positive definite beyond rounding, that is
// when some combination of parameters is not determined.
std::optional<std::vector<double>> InvertUnitDiagonal(std::span<const double> a, std::size_t np);

}  // namespace vantor
