// SPDX-License-Identifier: GPL-3.0-or-later
// From fitted profiles in channels to what a peak reports: energy,
// d-spacing, width, height and area with their propagated uncertainties,
// and the flag on germanium escape peaks.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/PeakCandidates.h"
#include "analysis/PeakFit.h"
#include "analysis/PeakSearch.h"

namespace vantor {

struct ChannelScale {
  std::array<double, 3> egc{};
  bool calibrated = false;
  double sinTheta = 0;
};

PeakResult FittedPeak(const GroupFit& fit, std::size_t index, double snr, const ChannelScale& scale);

// A candidate whose fit failed: the search's estimates with NaN sigmas.
PeakResult UnfittedPeak(const PeakCandidate& candidate, std::string reason, const ChannelScale& scale);

// Flags each peak that sits where a stronger peak's germanium K-alpha or
// K-beta escape would be and is no larger than such an escape can be.
void MarkEscapePeaks(std::vector<PeakResult>& peaks);

}  // namespace vantor
