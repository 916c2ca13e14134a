// SPDX-License-Identifier: GPL-3.0-or-later
// The cubic cell edge of a pressure standard from the peaks of one
// spectrum: the fitted peaks are assigned to the standard's reflections by
// searching the edge over the range its scale can give, then the edge is
// fitted by weighted least squares on d over the assigned reflections.
// Reflections that disagree with the rest (a peak of the sample, a
// fluorescence line or an escape peak in the way) are dropped and listed
// with the reason. Thread-safe: no state between calls.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/Measured.h"
#include "analysis/PeakSearch.h"
#include "analysis/PressureScale.h"
#include "analysis/Standards.h"

namespace vantor {

struct LatticeOptions {
  double temperatureK = 300;  // where the search's edges are placed
  // Narrows the search to the edges within a few GPa of this pressure.
  std::optional<double> guessPressureGPa;
};

// The edges a search covers at the options' temperature: from the scale's
// highest checked compression (at least V/V0 = 0.6) to a little above the
// edge at 0 GPa, or around the guessed pressure.
struct LatticeRange {
  double lowA = 0, highA = 0;
};
LatticeRange SearchRange(const PressureScale& scale, const LatticeOptions& options);

struct AssignedReflection {
  std::string hkl;
  bool weak = false;
  Measured energyKeV;  // the fitted peak's centre
  Measured dObsA;      // its d-spacing
  double dCalcA = 0;   // a / sqrt(h^2 + k^2 + l^2) with the fitted a
  Measured aA;         // this reflection's own edge: d_obs sqrt(h^2 + k^2 + l^2)
};

struct DroppedReflection {
  std::string hkl;
  std::string why;
};

enum class LatticeStatus : unsigned char { Ok, NoReflection, TooFewReflections };

struct LatticeFit {
  LatticeStatus status = LatticeStatus::Ok;
  std::string message;  // why there is no edge, empty when Ok
  // Scaled by sqrt(chi2 per degree of freedom) when that exceeds 1: a spread
  // of the reflections' own edges beyond their counting errors (stress that
  // is not hydrostatic, a calibration off) widens the uncertainty.
  Measured aA{};
  double chiSquaredReduced = 0;                 // chi2 over the n - 1 degrees of freedom of n reflections
  std::vector<AssignedReflection> reflections;  // used in the fit, d decreasing
  std::vector<DroppedReflection> dropped;       // expected or found but left out, with the reason
  std::vector<std::string> warnings;            // a doubtful assignment
};

// `peaks` as FindPeaks gives them for a spectrum at 2theta = twoThetaDeg
// (> 0); energies above topEnergyKeV cannot show a reflection. Only fitted
// peaks with a d-spacing take part.
LatticeFit FitLattice(const Standard& standard, const PressureScale& scale, std::span<const PeakResult> peaks,
                      double twoThetaDeg, double topEnergyKeV, const LatticeOptions& options);

// The first look, on peak places before any fit (PeakOptions::fitNear): the
// energies of the reflections at the best edge, the peaks worth fitting
// (none when no edge in the range fits), and a warning when another edge fits
// the places nearly as well.
struct EdgeLook {
  std::vector<double> lineEnergiesKeV;
  std::string rivalWarning;
  // With a warning: how well the chosen edge and its rival explain the
  // places (the share of places a line answers, weighted), and the rival's
  // pressure when the scale gives one there.
  double bestScore = 0, rivalScore = 0;
  std::optional<double> rivalPressureGPa;
};
EdgeLook LookForEdge(const Standard& standard, const PressureScale& scale, std::span<const PeakPlace> places,
                     double twoThetaDeg, double topEnergyKeV, const LatticeOptions& options);

// The energies in which the standard's reflections can lie over the search
// range at this 2theta, up to topEnergyKeV: where to look for peaks.
std::pair<double, double> ReflectionEnergyWindow(const Standard& standard, const PressureScale& scale,
                                                 double twoThetaDeg, double topEnergyKeV,
                                                 const LatticeOptions& options);

}  // namespace vantor
