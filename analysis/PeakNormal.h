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
  // A = J^T J, and g = J^T u into `gradient`, from the rows of a weighted
  // Jacobian that row(k, r) writes into r one at a time: no row is kept.
  // Most fits are of one peak (six parameters), and their sums are
  // unrolled.
  template <typename Row>
  void Accumulate(std::size_t rows, std::size_t parameters, Row&& row, const double* u, std::size_t uStride,
                  std::span<double> gradient) {
    n_ = parameters;
    a_.assign(n_ * n_, 0.0);
    row_.resize(n_);
    if (n_ == 6) {
      AddRowsOfSize<6>(rows, row, u, uStride, gradient.data());
    } else {
      AddRows(rows, row, u, uStride, gradient.data());
    }
  }

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
  // With the size known when compiled, the row and the sums are local and
  // stay in registers.
  template <std::size_t N, typename Row>
  void AddRowsOfSize(std::size_t rows, Row& row, const double* u, std::size_t uStride, double* g) {
    double r[N], sums[N * (N + 1) / 2] = {}, grad[N] = {};
    for (std::size_t k = 0; k < rows; ++k) {
      row(k, r);
      const double uk = u[k * uStride];
      std::size_t e = 0;
#pragma GCC unroll 16
      for (std::size_t i = 0; i < N; ++i) {
        grad[i] += r[i] * uk;
#pragma GCC unroll 16
        for (std::size_t j = 0; j <= i; ++j) sums[e++] += r[i] * r[j];
      }
    }
    std::size_t e = 0;
    for (std::size_t i = 0; i < N; ++i) {
      g[i] = grad[i];
      for (std::size_t j = 0; j <= i; ++j) a_[i * N + j] = sums[e++];
    }
  }

  template <typename Row>
  void AddRows(std::size_t rows, Row& row, const double* u, std::size_t uStride, double* g) {
    double* r = row_.data();
    double* a = a_.data();
    for (std::size_t i = 0; i < n_; ++i) g[i] = 0;
    for (std::size_t k = 0; k < rows; ++k) {
      row(k, r);
      const double uk = u[k * uStride];
      for (std::size_t i = 0; i < n_; ++i) {
        g[i] += r[i] * uk;
        for (std::size_t j = 0; j <= i; ++j) a[i * n_ + j] += r[i] * r[j];
      }
    }
  }

  std::size_t n_ = 0;
  std::vector<double> a_;  // lower triangle, row-major n x n
  std::vector<double> factor_, step_, row_;
};

// The inverse of a symmetric np x np matrix (row-major) with a unit
// diagonal; none when it is not positive definite beyond rounding, that is
// when some combination of parameters is not determined.
std::optional<std::vector<double>> InvertUnitDiagonal(std::span<const double> a, std::size_t np);

}  // namespace vantor
