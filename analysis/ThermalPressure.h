// SPDX-License-Identifier: GPL-3.0-or-later
// Thermal pressure of the Mie-Grueneisen-Debye kind: the Grueneisen parameter
// and Debye temperature as functions of x = V/V0, the Debye energy, and the
// pressure they add to a reference isotherm. Special functions come from GSL
// through its status-returning forms; a failed evaluation gives NaN.
#pragma once

namespace vantor {

// Switches GSL's error handler off for the whole program (its default aborts),
// so every GSL call reports through its status. Cheap after the first call.
void UseGslStatusReturns();

struct GammaTheta {
  double gamma;              // Grueneisen parameter
  double debyeTemperatureK;  // NaN when it could not be evaluated
};

// Constant q: gamma = gamma0 x^q, theta = theta0 exp[(gamma0 - gamma) / q],
// the integral of -dln(theta)/dln(V) = gamma.
GammaTheta ConstantQGammaTheta(double volumeRatio, double gamma0, double q, double debye0K);

// Al'tshuler form (Tange et al. 2009, J. Geophys. Res. 114, B03208):
// gamma = gamma0 [1 + a (x^b - 1)], theta = theta0 x^(-(1 - a) gamma0) exp[-(gamma - gamma0) / b].
GammaTheta AltshulerGammaTheta(double volumeRatio, double gamma0, double a, double b, double debye0K);

// Variable q (Speziale et al. 2001, J. Geophys. Res. 106, 515): q = q0 x^q1,
// gamma = gamma0 exp[(q0/q1)(x^q1 - 1)], ln(theta/theta0) = -(gamma0/q1) e^-c [Ei(c x^q1) - Ei(c)],
// c = q0/q1. The exponential integral overflows far above V0: theta is then NaN.
GammaTheta VariableQGammaTheta(double volumeRatio, double gamma0, double q0, double q1, double debye0K);

// Debye energy without the zero-point part, E = C T D3(theta/T) in J/mol, C the
// high-temperature heat capacity (3nR for n atoms per formula unit).
double DebyeEnergyJPerMol(double debyeTemperatureK, double temperatureK, double heatCapacityJPerMolK);

// What the Debye energy needs besides gamma and theta.
struct DebyeModel {
  double volume0M3;             // V0 in m^3 per mole of formula units
  double temperature0K;         // the reference isotherm
  double heatCapacityJPerMolK;  // 3nR, or a scale's own prefactor
};

// Mie-Grueneisen-Debye: (gamma/V) [E(theta, T) - E(theta, T0)], in GPa.
double MgdThermalPressureGPa(const GammaTheta& state, double volumeRatio, double temperatureK, const DebyeModel& model);

}  // namespace vantor
