// SPDX-License-Identifier: GPL-3.0-or-later
// Interpolating cubic splines with the "not-a-knot" end condition (the third
// derivative continuous across the second and the second-last node), in one
// dimension and as a tensor product on a rectangular grid. GSL's cspline has
// only the natural condition (zero curvature at the ends), which bends a table
// differently near its edges. Outside the nodes the end pieces are extended.
#pragma once

#include <span>
#include <vector>

namespace vantor {

class NotAKnotSpline {
 public:
  NotAKnotSpline() = default;
  // Nodes strictly increasing, at least four of them; otherwise every value is NaN.
  NotAKnotSpline(std::span<const double> nodes, std::span<const double> values);

  double operator()(double at) const;

 private:
  std::vector<double> nodes_;
  std::vector<double> values_;
  std::vector<double> slopes_;  // the first derivative at each node
};

// P(r, c) through values[i * columns.size() + j] at (rows[i], columns[j]): the
// spline along the columns of every row, then along the rows through those.
class GridSpline {
 public:
  GridSpline(std::span<const double> rows, std::span<const double> columns, std::span<const double> values);

  double operator()(double row, double column) const;

 private:
  std::vector<double> rows_;
  std::vector<NotAKnotSpline> alongColumns_;  // one per row
};

}  // namespace vantor
