// SPDX-License-Identifier: GPL-3.0-or-later
// The detector angle 2theta from a diffraction standard: the peaks of each
// spectrum are found and fitted, the standard's reflections assigned to
// them, and sin(theta) solved by weighted least squares from Bragg's law
// E d sin(theta) = hc / 2 with the exact hc. Each spectrum (each element of
// a multi-element detector) is calibrated on its own. Thread-safe: no state
// between calls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/Measured.h"
#include "analysis/Standards.h"

namespace vantor {

struct TwoThetaSpectrum {
  std::string file;
  std::size_t element = 0;               // 1.. in a file of several spectra; 0 for a file's only one
  std::span<const std::int32_t> counts;  // channels 1..counts.size()
  std::array<double, 3> egc{};           // its energy calibration
  double twoThetaDeg = 0;                // the angle the file gives; 0 when none
};

struct TwoThetaOptions {
  std::optional<double> guessDeg;  // where to start instead of the file's angle
  // A file's angle may be off by a tenth of a degree, several peak widths
  // at high energy: the assignment is searched this far either side.
  double searchDeg = 0.5;
  double minSnr = 5;  // for the peak search
};

struct TwoThetaReflection {
  std::string hkl;
  double dA = 0;
  Measured energyKeV;      // the fitted peak's centre
  double residualKeV = 0;  // measured - calculated at the fitted angle
};

struct LeftOutReflection {
  std::string hkl;
  double dA = 0;
  std::string why;  // "not found", "overlapped with 1 0 10", "beyond 3 sigma (5.2)"
};

enum class TwoThetaStatus : unsigned char { Ok, NoCounts, NoEnergyCalibration, NoStartingAngle, TooFewReflections };

struct TwoThetaCalibration {
  std::string file;
  std::size_t element = 0;
  TwoThetaStatus status = TwoThetaStatus::Ok;
  std::string message;  // why it failed, empty when Ok
  double fileTwoThetaDeg = 0;
  // sigma from the covariance, scaled by max(1, sqrt(chi2 per degree of freedom)).
  Measured twoThetaDeg;
  double chiSquaredPerDegree = 0;
  int degreesOfFreedom = 0;
  std::size_t peaksFound = 0;                   // fitted, not escape peaks
  std::vector<TwoThetaReflection> reflections;  // those in the fit, by energy
  std::vector<LeftOutReflection> leftOut;       // within the spectrum's energies, by energy
};

// The least number of reflections a calibration is made from.
inline constexpr std::size_t kMinReflections = 3;

TwoThetaCalibration CalibrateTwoTheta(const TwoThetaSpectrum& spectrum, const Standard& standard,
                                      const TwoThetaOptions& options);

std::vector<TwoThetaCalibration> CalibrateTwoTheta(std::span<const TwoThetaSpectrum> spectra, const Standard& standard,
                                                   const TwoThetaOptions& options);

}  // namespace vantor
