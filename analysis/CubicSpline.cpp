// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CubicSpline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Solves the tridiagonal system below[i] s[i-1] + diagonal[i] s[i] + above[i] s[i+1] = rhs[i]
// by elimination without pivoting (the spline systems here need none); NaN on a zero pivot.
std::vector<double> SolveTridiagonal(std::vector<double> below, std::vector<double> diagonal, std::vector<double> above,
                                     std::vector<double> rhs) {
  const std::size_t n = rhs.size();
  for (std::size_t i = 1; i < n; ++i) {
    const double factor = below[i] / diagonal[i - 1];
    diagonal[i] -= factor * above[i - 1];
    rhs[i] -= factor * rhs[i - 1];
  }
  std::vector<double> solution(n, kNaN);
  for (std::size_t i = n; i-- > 0;) {
    const double next = i + 1 < n ? above[i] * solution[i + 1] : 0;
    solution[i] = diagonal[i] != 0 ? (rhs[i] - next) / diagonal[i] : kNaN;
  }
  return solution;
}

// The node slopes s of the C2 spline: at interior nodes continuity of the second
// derivative, h[i] s[i-1] + 2 (h[i-1] + h[i]) s[i] + h[i-1] s[i+1] = 3 (h[i] d[i-1] + h[i-1] d[i])
// (h the spacings, d the divided differences). At each end the not-a-knot condition
// (s0 + s1 - 2 d0) / h0^2 = (s1 + s2 - 2 d1) / h1^2, with s2 eliminated through the
// first interior equation, leaves h1 s0 + (h0 + h1) s1 = [(3 h0 h1 + 2 h1^2) d0 + h0^2 d1] / (h0 + h1),
// and its mirror image at the other end.
std::vector<double> NotAKnotSlopes(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = x.size();
  std::vector<double> h(n - 1), d(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i], d[i] = (y[i + 1] - y[i]) / h[i];
  std::vector<double> below(n, 0), diagonal(n), above(n, 0), rhs(n);
  diagonal[0] = h[1], above[0] = h[0] + h[1];
  rhs[0] = ((3 * h[0] * h[1] + 2 * h[1] * h[1]) * d[0] + h[0] * h[0] * d[1]) / (h[0] + h[1]);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    below[i] = h[i], diagonal[i] = 2 * (h[i - 1] + h[i]), above[i] = h[i - 1];
    rhs[i] = 3 * (h[i] * d[i - 1] + h[i - 1] * d[i]);
  }
  const double hl = h[n - 2], hp = h[n - 3];  // the last and the one before
  below[n - 1] = hp + hl, diagonal[n - 1] = hp;
  rhs[n - 1] = (hl * hl * d[n - 3] + (3 * hl * hp + 2 * hp * hp) * d[n - 2]) / (hp + hl);
  return SolveTridiagonal(std::move(below), std::move(diagonal), std::move(above), std::move(rhs));
}

}  // namespace

NotAKnotSpline::NotAKnotSpline(std::span<const double> nodes, std::span<const double> values) {
  if (nodes.size() < 4 || nodes.size() != values.size()) return;
  for (std::size_t i = 1; i < nodes.size(); ++i)
    if (!(nodes[i] > nodes[i - 1])) return;
  nodes_.assign(nodes.begin(), nodes.end());
  values_.assign(values.begin(), values.end());
  slopes_ = NotAKnotSlopes(nodes, values);
}

// The cubic Hermite piece of the interval holding `at`, the first or last one outside.
double NotAKnotSpline::operator()(double at) const {
  if (nodes_.empty()) return kNaN;
  const auto upper = std::upper_bound(nodes_.begin() + 1, nodes_.end() - 1, at);
  const std::size_t i = static_cast<std::size_t>(upper - nodes_.begin()) - 1;
  const double h = nodes_[i + 1] - nodes_[i];
  const double d = (values_[i + 1] - values_[i]) / h;
  const double c2 = (3 * d - 2 * slopes_[i] - slopes_[i + 1]) / h;
  const double c3 = (slopes_[i] + slopes_[i + 1] - 2 * d) / (h * h);
  const double t = at - nodes_[i];
  return values_[i] + t * (slopes_[i] + t * (c2 + t * c3));
}

GridSpline::GridSpline(std::span<const double> rows, std::span<const double> columns, std::span<const double> values)
    : rows_(rows.begin(), rows.end()) {
  if (values.size() != rows.size() * columns.size()) return;
  for (std::size_t i = 0; i < rows.size(); ++i)
    alongColumns_.emplace_back(columns, values.subspan(i * columns.size(), columns.size()));
}

double GridSpline::operator()(double row, double column) const {
  if (alongColumns_.size() != rows_.size()) return kNaN;
  std::vector<double> atColumn;
  atColumn.reserve(rows_.size());
  for (const NotAKnotSpline& spline : alongColumns_) atColumn.push_back(spline(column));
  return NotAKnotSpline(rows_, atColumn)(row);
}

}  // namespace vantor
