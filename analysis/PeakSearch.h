// SPDX-License-Identifier: GPL-3.0-or-later
// Peak search and fitting for one spectrum: every peak that stands out of
// the background by a given signal-to-noise ratio, fitted (alone or with
// its close neighbours) as a pseudo-Voigt on a straight background, with
// channel, energy, d-spacing, width, height and area and their
// uncertainties. Thread-safe: it keeps no state between calls.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "analysis/Measured.h"

namespace vantor {

// A place the search finds a peak, before any fit.
struct PeakPlace {
  double energyKeV = 0;
  double fwhmKeV = 0;
  double snr = 0;
};

struct PeakOptions {
  double minSnr = 5;
  // Only peaks whose centres lie in this range (keV, low to high); needs an
  // energy calibration.
  std::optional<std::pair<double, double>> energyRangeKeV;
  // Chooses from the places found which peaks to fit: those within one and a
  // half widths of an energy (keV) it returns, with the neighbours they share
  // counts with; the others are neither fitted nor reported (the fits cost
  // nearly all the time). None: every peak. Needs an energy calibration.
  std::function<std::vector<double>(std::span<const PeakPlace>)> fitNear;
};

struct PeakResult {
  Measured channel;                   // channel number (index + 1) of the centre
  std::optional<Measured> energyKeV;  // none without an energy calibration
  std::optional<Measured> dSpacingA;  // none without energy or where 2theta <= 0
  Measured fwhm;                      // keV when calibrated, else channels
  bool fwhmInKeV = false;
  Measured height;      // counts per channel at the centre
  Measured area;        // counts
  Measured eta;         // Lorentzian fraction of the profile, 0..1
  double snr = 0;       // the fitted peak's own counts / sqrt(all counts), channels within fwhm / 2
  bool escape = false;  // looks like a germanium escape peak of a stronger one
  bool fitted = true;   // false: the values are the search's estimates, sigmas NaN
  std::string reason;   // why not fitted
};

enum class PeakSearchStatus : unsigned char { Ok, NoPeak, InvalidInput };

struct PeakSearch {
  PeakSearchStatus status = PeakSearchStatus::Ok;
  std::string message;             // what went wrong, empty when Ok
  std::vector<PeakResult> peaks;   // by channel
  double typicalFwhmChannels = 0;  // the width the search worked with
};

// Counts of channels 1..counts.size(); egc the calibration E(x) = egc[0] +
// egc[1] x + egc[2] x^2 (all 0, or one that does not rise over the
// channels, means none); twoThetaDeg the detector angle.
PeakSearch FindPeaks(std::span<const std::int32_t> counts, const std::array<double, 3>& egc, double twoThetaDeg,
                     const PeakOptions& options);

// Whether egc is an energy calibration that rises over channels 1..channels.
bool HasEnergyCalibration(const std::array<double, 3>& egc, std::size_t channels);

}  // namespace vantor
