// SPDX-License-Identifier: GPL-3.0-or-later
// The d-spacing of Bragg's law for energy-dispersive diffraction:
// E d sin(theta) = hc / 2, theta half the detector angle 2theta. One
// function for every caller; each says which hc it uses.
#pragma once

#include <cmath>
#include <optional>

namespace vantor {

// hc in keV x angstrom, exact since h, c and e are exact in the SI (CODATA
// 2018). Every d, calibration and pressure uses it ...
inline constexpr double kHcExact = 12.398419843320026;
// ... but the 3D table, whose bytes stay those of its rounded constant
// (2.6e-5 relative less).
inline constexpr double kHcTable = 12.3981;

// sin(theta) of the scattering angle 2theta in degrees.
inline double SinTheta(double twoTheta) {
  constexpr double kPi = 3.14159265358979;
  return std::sin((twoTheta / 2) * kPi / 180);
}

// d = hc / (2 E sin theta) in angstrom for an energy E in keV; none where
// (E + E) sin theta <= 0: no angle (2theta <= 0) or no energy (E <= 0).
inline std::optional<double> DSpacing(double energy, double sinTheta, double hc) {
  const double denominator = (energy + energy) * sinTheta;
  if (!(denominator > 0)) return std::nullopt;
  return hc / denominator;
}

}  // namespace vantor
