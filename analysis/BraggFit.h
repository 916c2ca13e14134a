// SPDX-License-Identifier: GPL-3.0-or-later
// The angle's least squares: measured peak energies E_i of reflections of
// known d_i follow E_i = c / d_i with c = hc / (2 sin theta), one parameter
// linear in the data, weighted by the energies' own variances. Points that
// the others' fit does not predict within three sigmas are left out one at
// a time, the worst first.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "analysis/Measured.h"

namespace vantor {

struct BraggPoint {
  double dA = 0;
  Measured energyKeV;
};

struct BraggFit {
  Measured c;  // keV x angstrom; sigma scaled by max(1, sqrt(chi2 per degree of freedom))
  double chiSquared = 0;
  int degreesOfFreedom = 0;
};

struct BraggRejection {
  std::size_t index = 0;  // into the points
  double sigmas = 0;      // how far the others' fit put it
};

struct BraggSolution {
  BraggFit fit;
  std::vector<std::size_t> kept;  // indices into the points, in their order
  std::vector<BraggRejection> rejected;
};

inline constexpr double kRejectSigmas = 3;

// Needs at least one point with a positive sigma; never leaves fewer than
// `fewest` points.
BraggSolution SolveBragg(std::span<const BraggPoint> points, std::size_t fewest);

}  // namespace vantor
