// SPDX-License-Identifier: GPL-3.0-or-later
// Energy calibration E(x) = a + b x + c x^2 (x the channel number) from
// known lines: the peaks of one or more spectra are found and fitted, the
// lines matched to them from a starting calibration, and the polynomial
// fitted to the matched channels by weighted least squares, with its full
// covariance. Thread-safe: no state between calls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/LineTable.h"
#include "analysis/Measured.h"

namespace vantor {

struct CalibrationSpectrum {
  std::string file;
  std::span<const std::int32_t> counts;  // channels 1..counts.size()
  std::array<double, 3> egc{};           // the file's calibration; all 0 when it has none
};

struct EnergyCalibrationOptions {
  int degree = 0;  // 1 linear, 2 quadratic; 0: quadratic from four matched lines on, else linear
  // Where to start matching, for every file; without it each file's own
  // calibration, and a file without one cannot be calibrated.
  std::optional<std::array<double, 3>> guess;
  double minSnr = 5;  // for the peak search
};

struct CalibrationPoint {
  std::string line;      // its name in the list
  double energyKeV = 0;  // the line's energy
  std::string file;
  Measured channel;        // the fitted peak's centre
  double residualKeV = 0;  // line energy - calibrated energy at the channel
};

enum class CalibrationStatus : unsigned char { Ok, NoStartingCalibration, TooFewLines, InvalidInput };

struct EnergyCalibration {
  CalibrationStatus status = CalibrationStatus::Ok;
  std::string message;  // what went wrong, empty when Ok
  int degree = 0;
  std::array<Measured, 3> egc{};  // a (keV), b (keV per channel), c (keV per channel^2); c = 0 when linear
  // Covariance of a, b, c, scaled by max(1, chi2 per degree of freedom).
  std::array<std::array<double, 3>, 3> covariance{};
  double chiSquaredPerDegree = 0;
  int degreesOfFreedom = 0;
  std::vector<CalibrationPoint> points;  // every matched line of every file
  std::vector<std::string> unmatched;    // lines within a file's range without a peak: "Co-57 14.41295 in run1.xbm"
  std::vector<std::string> files;
};

EnergyCalibration CalibrateEnergy(std::span<const CalibrationSpectrum> spectra, std::span<const CalibrationLine> lines,
                                  const EnergyCalibrationOptions& options);

// The calibrated energy at a channel number, its sigma from the covariance.
Measured CalibratedEnergy(const EnergyCalibration& calibration, double channel);

}  // namespace vantor
