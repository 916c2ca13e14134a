// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakNormal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor {

// Cholesky factor L of A (lower triangle), L y = g and L^T s = y: the
// decrease is |y|^2 and the step s. A held or undetermined parameter gets
// an infinite pivot, which takes its row and column out of both.
double NormalMatrix::NewtonDecrease(std::span<const double> gradient, const std::vector<bool>& held) {
  factor_ = a_;
  step_.resize(n_);
  double* l = factor_.data();
  double* y = step_.data();
  double decrease = 0;
  for (std::size_t i = 0; i < n_; ++i) {
    double* li = l + i * n_;
    for (std::size_t j = 0; j <= i; ++j) {
      const double* lj = l + j * n_;
      double sum = li[j];
      for (std::size_t k = 0; k < j; ++k) sum -= li[k] * lj[k];
      if (j < i) {
        li[j] = sum / lj[j];
      } else {
        li[i] = !held[i] && sum > 1e-12 * li[i] ? std::sqrt(sum) : std::numeric_limits<double>::infinity();
      }
    }
    double yi = gradient[i];
    for (std::size_t k = 0; k < i; ++k) yi -= li[k] * y[k];
    y[i] = yi / li[i];
    decrease += y[i] * y[i];
  }
  for (std::size_t i = n_; i-- > 0;) {
    double si = y[i];
    for (std::size_t k = i + 1; k < n_; ++k) si -= l[k * n_ + i] * y[k];
    y[i] = si / l[i * n_ + i];
  }
  return decrease;
}

double NormalMatrix::Norm(std::span<const double> d) const {
  double sum = 0;
  for (std::size_t i = 0; i < n_; ++i) {
    const double* ai = a_.data() + i * n_;
    double row = 0.5 * ai[i] * d[i];
    for (std::size_t j = 0; j < i; ++j) row += ai[j] * d[j];
    sum += 2 * d[i] * row;
  }
  return sum;
}

// Cholesky A = L L^T, L^-1 by forward substitution, A^-1 = L^-T L^-1. With
// a unit diagonal every pivot of a well-posed matrix lies in (0, 1]; one
// that falls to the rounding of the elimination (a few epsilon) means a
// combination of parameters the counts do not fix.
std::optional<std::vector<double>> InvertUnitDiagonal(std::span<const double> a, std::size_t np) {
  constexpr double kSingular = 16 * std::numeric_limits<double>::epsilon();
  std::vector<double> l(np * np, 0.0);
  for (std::size_t i = 0; i < np; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      double sum = a[i * np + j];
      for (std::size_t k = 0; k < j; ++k) sum -= l[i * np + k] * l[j * np + k];
      if (j < i) {
        l[i * np + j] = sum / l[j * np + j];
      } else if (sum > kSingular) {
        l[i * np + i] = std::sqrt(sum);
      } else {
        return std::nullopt;
      }
    }
  }
  std::vector<double> inverseL(np * np, 0.0);
  for (std::size_t j = 0; j < np; ++j) {
    inverseL[j * np + j] = 1 / l[j * np + j];
    for (std::size_t i = j + 1; i < np; ++i) {
      double sum = 0;
      for (std::size_t k = j; k < i; ++k) sum -= l[i * np + k] * inverseL[k * np + j];
      inverseL[i * np + j] = sum / l[i * np + i];
    }
  }
  std::vector<double> inverse(np * np);
  for (std::size_t i = 0; i < np; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      double sum = 0;
      for (std::size_t k = i; k < np; ++k) sum += inverseL[k * np + i] * inverseL[k * np + j];
      inverse[i * np + j] = inverse[j * np + i] = sum;
    }
  }
  return inverse;
}

}  // namespace vantor
