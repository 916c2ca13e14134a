// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ThermalPressure.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_sf_debye.h>
#include <gsl/gsl_sf_expint.h>

#include <cmath>
#include <limits>

namespace vantor {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Ei(x) for x > 0, NaN where GSL reports a failure (overflow from about x = 700).
double ExponentialIntegralEi(double x) {
  UseGslStatusReturns();
  gsl_sf_result result;
  if (gsl_sf_expint_Ei_e(x, &result) != GSL_SUCCESS || !std::isfinite(result.val)) return kNaN;
  return result.val;
}

}  // namespace

void UseGslStatusReturns() {
  static const bool switchedOff = (gsl_set_error_handler_off(), true);
  (void)switchedOff;
}

GammaTheta ConstantQGammaTheta(double volumeRatio, double gamma0, double q, double debye0K) {
  const double gamma = gamma0 * std::pow(volumeRatio, q);
  return {gamma, debye0K * std::exp((gamma0 - gamma) / q)};
}

GammaTheta AltshulerGammaTheta(double volumeRatio, double gamma0, double a, double b, double debye0K) {
  const double gamma = gamma0 * (1 + a * (std::pow(volumeRatio, b) - 1));
  return {gamma, debye0K * std::pow(volumeRatio, -(1 - a) * gamma0) * std::exp(-(gamma - gamma0) / b)};
}

GammaTheta VariableQGammaTheta(double volumeRatio, double gamma0, double q0, double q1, double debye0K) {
  const double c = q0 / q1;
  const double xq1 = std::pow(volumeRatio, q1);
  const double gamma = gamma0 * std::exp(c * (xq1 - 1));
  const double lnTheta = -(gamma0 / q1) * std::exp(-c) * (ExponentialIntegralEi(c * xq1) - ExponentialIntegralEi(c));
  return {gamma, debye0K * std::exp(lnTheta)};
}

// E = C T D3(theta/T), D3(y) = (3/y^3) int_0^y t^3/(e^t - 1) dt (GSL's debye_3).
double DebyeEnergyJPerMol(double debyeTemperatureK, double temperatureK, double heatCapacityJPerMolK) {
  if (!(temperatureK > 0) || !(debyeTemperatureK >= 0) || !std::isfinite(debyeTemperatureK)) return kNaN;
  UseGslStatusReturns();
  gsl_sf_result d3;
  if (gsl_sf_debye_3_e(debyeTemperatureK / temperatureK, &d3) != GSL_SUCCESS) return kNaN;
  return heatCapacityJPerMolK * temperatureK * d3.val;
}

// Mie-Grueneisen-Debye thermal pressure; the zero-point energy cancels in the difference.
double MgdThermalPressureGPa(const GammaTheta& state, double volumeRatio, double temperatureK,
                             const DebyeModel& model) {
  const double thetaK = state.debyeTemperatureK;
  const double energyJPerMol = DebyeEnergyJPerMol(thetaK, temperatureK, model.heatCapacityJPerMolK) -
                               DebyeEnergyJPerMol(thetaK, model.temperature0K, model.heatCapacityJPerMolK);
  return state.gamma / (volumeRatio * model.volume0M3) * energyJPerMol * 1e-9;
}

}  // namespace vantor
