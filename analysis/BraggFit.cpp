// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/BraggFit.h"

#include <gsl/gsl_fit.h>

#include <algorithm>
#include <cmath>

namespace vantor {
namespace {

// Weighted least squares of E on 1 / d through the origin over the points
// `use` (GSL's gsl_fit_wmul: weights 1 / sigma^2, the covariance of the
// fitted c from them alone, before any scaling).
struct Plain {
  double c = 0, variance = 0, chiSquared = 0;
  int degreesOfFreedom = 0;
};

Plain Fit(std::span<const BraggPoint> points, std::span<const std::size_t> use) {
  std::vector<double> x, w, y;
  for (std::size_t i : use) {
    x.push_back(1 / points[i].dA);
    w.push_back(1 / (points[i].energyKeV.sigma * points[i].energyKeV.sigma));
    y.push_back(points[i].energyKeV.value);
  }
  Plain fit;
  gsl_fit_wmul(x.data(), 1, w.data(), 1, y.data(), 1, x.size(), &fit.c, &fit.variance, &fit.chiSquared);
  fit.degreesOfFreedom = static_cast<int>(x.size()) - 1;
  return fit;
}

double Scale(const Plain& fit) {
  return fit.degreesOfFreedom > 0 ? std::max(1.0, std::sqrt(fit.chiSquared / fit.degreesOfFreedom)) : 1.0;
}

// How many sigmas the fit of the others misses point `i` by: its own sigma
// and the others' uncertainty at its 1 / d, both scaled by the others'
// scatter.
double LeaveOneOut(std::span<const BraggPoint> points, const std::vector<std::size_t>& kept, std::size_t at) {
  std::vector<std::size_t> others = kept;
  others.erase(others.begin() + static_cast<std::ptrdiff_t>(at));
  const Plain fit = Fit(points, others);
  const BraggPoint& p = points[kept[at]];
  const double x = 1 / p.dA, scale = Scale(fit);
  const double sigma = scale * std::sqrt(p.energyKeV.sigma * p.energyKeV.sigma + x * x * fit.variance);
  return std::abs(p.energyKeV.value - fit.c * x) / sigma;
}

}  // namespace

BraggSolution SolveBragg(std::span<const BraggPoint> points, std::size_t fewest) {
  BraggSolution s;
  for (std::size_t i = 0; i < points.size(); ++i)
    if (points[i].energyKeV.sigma > 0 && points[i].dA > 0) s.kept.push_back(i);
  if (s.kept.empty()) return s;
  // Three points are the least that can show one of them wrong.
  while (s.kept.size() > std::max<std::size_t>(fewest, 2)) {
    std::size_t worst = 0;
    double worstSigmas = 0;
    for (std::size_t k = 0; k < s.kept.size(); ++k) {
      const double sigmas = LeaveOneOut(points, s.kept, k);
      if (sigmas > worstSigmas) worst = k, worstSigmas = sigmas;
    }
    if (!(worstSigmas > kRejectSigmas)) break;
    s.rejected.push_back({s.kept[worst], worstSigmas});
    s.kept.erase(s.kept.begin() + static_cast<std::ptrdiff_t>(worst));
  }
  const Plain fit = Fit(points, s.kept);
  s.fit.c = {fit.c, std::sqrt(fit.variance) * Scale(fit)};
  s.fit.chiSquared = fit.chiSquared;
  s.fit.degreesOfFreedom = fit.degreesOfFreedom;
  return s;
}

}  // namespace vantor
