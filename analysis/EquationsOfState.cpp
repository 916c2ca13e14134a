// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/EquationsOfState.h"

#include <cmath>

namespace vantor {

// Birch 1947, Phys. Rev. 71, 809:
// P = (3K0/2) (eta^(7/3) - eta^(5/3)) [1 + (3/4)(K0' - 4)(eta^(2/3) - 1)].
double Bm3PressureGPa(double volumeRatio, double k0GPa, double k0Prime) {
  const double eta = 1 / volumeRatio;
  return 1.5 * k0GPa * (std::pow(eta, 7.0 / 3) - std::pow(eta, 5.0 / 3)) *
         (1 + 0.75 * (k0Prime - 4) * (std::cbrt(eta * eta) - 1));
}

// P = 3K0 f (1 + 2f)^(5/2) [1 + (3/2)(K0' - 4) f + (3/2)(K0 K0'' + K0'^2 - 7K0' + 143/9) f^2]
// (Birch 1978, J. Geophys. Res. 83, 1257, the fourth-order term).
double Bm4PressureGPa(double volumeRatio, double k0GPa, double k0Prime, double k0SecondPerGPa) {
  const double f = (std::cbrt(1 / (volumeRatio * volumeRatio)) - 1) / 2;
  const double fourthOrder = k0GPa * k0SecondPerGPa + k0Prime * k0Prime - 7 * k0Prime + 143.0 / 9;
  return 3 * k0GPa * f * std::pow(1 + 2 * f, 2.5) * (1 + 1.5 * (k0Prime - 4) * f + 1.5 * fourthOrder * f * f);
}

// P = 3K0 (1 - X) X^-2 exp[(3/2)(K0' - 1)(1 - X)], X = x^(1/3).
double VinetPressureGPa(double volumeRatio, double k0GPa, double k0Prime) {
  return HolmesVinetPressureGPa(volumeRatio, 3 * k0GPa, 1.5 * (k0Prime - 1));
}

double HolmesVinetPressureGPa(double volumeRatio, double scalePressureGPa, double eta) {
  const double x = std::cbrt(volumeRatio);
  return scalePressureGPa * (1 - x) / (x * x) * std::exp(eta * (1 - x));
}

}  // namespace vantor
