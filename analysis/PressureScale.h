// SPDX-License-Identifier: GPL-3.0-or-later
// Pressure scales: a standard's equation of state P(V, T) as one paper gives it,
// P from a measured cubic cell edge and temperature, and the cell edge at a
// given pressure and temperature. Every result outside the range the scale was
// calibrated or checked over carries a warning that names the range.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct ScaleReference {
  std::string_view authors;  // "Decker, D. L."
  int year;
  std::string_view journal;  // "J. Appl. Phys."
  std::string_view volume;   // "42" or "108(B10)"
  std::string_view pages;    // "3239-3244", or an article number
  std::string_view doi;
};

// "Decker, D. L. (1971) J. Appl. Phys. 42, 3239-3244, doi:10.1063/1.1660714".
std::string CitationText(const ScaleReference& reference);

// Where the scale has been calibrated or checked; outside it a result is an
// extrapolation and says so.
struct ScaleRange {
  double minVolumeRatio = 0;  // V/V0 at the highest compression checked
  double maxVolumeRatio = std::numeric_limits<double>::infinity();
  double minTemperatureK = 0;
  double maxTemperatureK = std::numeric_limits<double>::infinity();
  std::string_view source;  // what the range is, for a reader of the warnings
};

struct PressureScale {
  std::string_view standard;  // "NaCl", "Au", "Pt", "MgO"
  std::string_view name;      // "Decker1971"
  bool isDefault;
  ScaleReference reference;
  std::string_view fidelity;  // how close this form is to the published one
  double volume0A3;           // V0 of the unit cell at T0
  double temperature0K;
  int z;  // formula units per cell
  ScaleRange range;
  double (*pressureGPaAt)(double volumeRatio, double temperatureK);  // NaN where it fails
  double a0A = 0;                                                    // cube root of volume0A3
};

// Every scale, standard by standard (NaCl, Au, Pt, MgO), each standard's default first.
std::span<const PressureScale> PressureScales();
// The names of one standard's scales (case-insensitive), the default first; for messages.
std::vector<std::string_view> ScaleNames(std::string_view standard);

// Case-insensitive on both names; an empty scale name gives the standard's
// default. nullptr when either is unknown.
const PressureScale* FindScale(std::string_view standard, std::string_view scale);

struct PressureResult {
  double pressureGPa;  // NaN when not evaluated
  double volumeRatio;  // V/V0 of the cell edge given
  std::string error;   // why there is no pressure; empty when there is one
  std::vector<std::string> warnings;
  bool ok() const { return error.empty(); }
};

struct LatticeResult {
  double aA;           // the cubic cell edge; NaN when not found
  double volumeRatio;  // its V/V0
  std::string error;
  std::vector<std::string> warnings;
  bool ok() const { return error.empty(); }
};

// P(a, T) in GPa from the cubic cell edge in angstrom and T in K.
PressureResult PressureGPa(const PressureScale& scale, double aA, double temperatureK);

// a(P, T): the cell edge at which the scale gives `pressureGPa` at T (Brent's method),
// searched from V0 outward: down to V/V0 = 0.6, up to 1.5 or where P(V) turns over
// (a few scales do not far above 1.1 at high T). No edge is an error naming the
// nearest pressure the scale reaches.
LatticeResult LatticeA(const PressureScale& scale, double pressureGPa, double temperatureK);

}  // namespace vantor
