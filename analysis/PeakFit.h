// SPDX-License-Identifier: GPL-3.0-or-later
// Least-squares fit of a group of overlapping pseudo-Voigt peaks on a
// straight background to a window of channels, with Poisson weights taken
// from the model, and the covariance of the fitted parameters.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/PeakProfile.h"

namespace vantor {

struct GroupStart {
  std::vector<PseudoVoigt> peaks;
  double background = 0;  // counts per channel at the window's middle channel
  double slope = 0;       // counts per channel per channel
};

struct GroupFit {
  bool fitted = false;
  std::string reason;  // why not, when not fitted
  std::vector<PseudoVoigt> peaks;
  double background = 0;
  double slope = 0;
  // Covariance of centre, fwhm, eta, area of each peak in turn, then
  // background and slope; row-major, already scaled by max(1, chi2 per
  // degree of freedom).
  std::vector<double> covariance;
  double chiSquared = 0;
  int degreesOfFreedom = 0;

  std::size_t Parameters() const { return 4 * peaks.size() + 2; }
  double Covariance(std::size_t i, std::size_t j) const { return covariance[i * Parameters() + j]; }
};

// Fits the channels firstChannel, firstChannel + 1, ... holding `counts`.
// Each pass weighs a channel by 1 / (the previous pass's fitted counts),
// which converges to the Poisson maximum-likelihood solution; weights from
// the counts themselves would bias areas low and fail on empty channels.
GroupFit FitGroup(std::span<const double> counts, double firstChannel, const GroupStart& start);

}  // namespace vantor
