// SPDX-License-Identifier: GPL-3.0-or-later
// Dorogokupets & Oganov 2007 (Phys. Rev. B 75, 024115): a Vinet cold curve at
// 298.15 K and a thermal pressure from a Helmholtz energy (two modified
// Einstein terms, two Einstein terms, intrinsic anharmonicity, conduction
// electrons, vacancies). Parameters as in BurnMan's calibrant library.
#include <array>
#include <cmath>

#include "analysis/EquationsOfState.h"
#include "analysis/ScaleModels.h"

namespace vantor {

namespace {

struct Dorogokupets2007Parameters {
  double volume0M3;
  double k0GPa, k0Prime;
  int atoms;                                               // n per formula unit
  std::array<double, 4> characteristic0K;                  // theta_i0: B1, B2, E1, E2
  std::array<double, 4> weight;                            // m_i, summing to 3n
  std::array<double, 2> shape;                             // d of B1, B2
  double gamma0, gammaInfinity, beta;                      // the volume dependence of every theta_i
  double anharmonicPerK, anharmonicExponent;               // a, m
  double electronicPerK, electronicExponent;               // e, g
  double vacancyEnthalpyK, vacancyEntropy;                 // H, S; H = 0 for none
  double vacancyEntropyExponent, vacancyEnthalpyExponent;  // f, h
};

constexpr double kReferenceK = 298.15;  // T0 of the cold curve and of the thermal part

// Dorogokupets & Oganov 2007, the Au, Pt and MgO parameters as BurnMan's calibrant library
// (commit f743a077) carries them.
// clang-format off
constexpr Dorogokupets2007Parameters kAu{
    .volume0M3 = 1.0215e-5, .k0GPa = 166.70, .k0Prime = 6.00, .atoms = 1,
    .characteristic0K = {95.7, 106.4, 170.6, 105.2}, .weight = {0.681, 0.417, 1.063, 0.839}, .shape = {8.290, 3.239},
    .gamma0 = 2.965, .gammaInfinity = 1.142, .beta = 3.030,
    .anharmonicPerK = 25.33e-6, .anharmonicExponent = 3.79, .electronicPerK = 18.92e-6, .electronicExponent = 0.66,
    .vacancyEnthalpyK = 11690, .vacancyEntropy = 1.067,  // H = 11.69e3 K, which BurnMan marks "note typo"
    .vacancyEntropyExponent = -1, .vacancyEnthalpyExponent = -2};
constexpr Dorogokupets2007Parameters kPt{
    .volume0M3 = 9.091e-6, .k0GPa = 276.07, .k0Prime = 5.30, .atoms = 1,
    .characteristic0K = {95.2, 148.4, 214.6, 140.8}, .weight = {0.329, 0.383, 1.211, 1.077}, .shape = {8.199, 4.005},
    .gamma0 = 2.802, .gammaInfinity = 1.538, .beta = 5.550,
    .anharmonicPerK = 160.9e-6, .anharmonicExponent = 4.06, .electronicPerK = 260.0e-6, .electronicExponent = 2.4,
    .vacancyEnthalpyK = 32572, .vacancyEntropy = 0.631,
    .vacancyEntropyExponent = -1, .vacancyEnthalpyExponent = -2};
// No conduction electrons and no vacancies.
constexpr Dorogokupets2007Parameters kMgO{
    .volume0M3 = 1.1248e-5, .k0GPa = 160.31, .k0Prime = 4.18, .atoms = 2,
    .characteristic0K = {447.3, 384.0, 703.8, 466.0}, .weight = {1.429, 0.276, 2.570, 1.725}, .shape = {11.248, 3.593},
    .gamma0 = 1.522, .gammaInfinity = 1.111, .beta = 4.509,
    .anharmonicPerK = 13.56e-6, .anharmonicExponent = 5.23, .electronicPerK = 0, .electronicExponent = 0,
    .vacancyEnthalpyK = 0, .vacancyEntropy = 0, .vacancyEntropyExponent = 0, .vacancyEnthalpyExponent = 0};
// clang-format on

// theta_i(V) = theta_i0 x^(-gamma_inf) exp[((gamma0 - gamma_inf) / beta)(1 - x^beta)].
double CharacteristicK(const Dorogokupets2007Parameters& p, double theta0K, double volumeRatio) {
  return theta0K * std::pow(volumeRatio, -p.gammaInfinity) *
         std::exp((p.gamma0 - p.gammaInfinity) / p.beta * (1 - std::pow(volumeRatio, p.beta)));
}

// Modified Einstein term: m [(d - 1) theta / (2d) - T ln(1 + b)], b = 1/(e^g - 1), g = d ln(1 + theta/(T d)).
double ModifiedEinsteinK(double weight, double thetaK, double shape, double temperatureK) {
  const double g = shape * std::log1p(thetaK / (temperatureK * shape));
  return weight * ((shape - 1) * thetaK / (2 * shape) - temperatureK * std::log1p(1 / std::expm1(g)));
}

// Einstein term: m [theta/2 + T ln(1 - e^(-theta/T))].
double EinsteinK(double weight, double thetaK, double temperatureK) {
  return weight * (thetaK / 2 + temperatureK * std::log1p(-std::exp(-thetaK / temperatureK)));
}

// Anharmonic part of one term: m [(theta/2 + theta/(z - 1))^2 + 2 theta^2 z/(z - 1)^2], z = e^(theta/T).
double AnharmonicK(double weight, double thetaK, double temperatureK) {
  const double zMinusOne = std::expm1(thetaK / temperatureK);
  const double first = thetaK / 2 + thetaK / zMinusOne;
  return weight * (first * first + 2 * thetaK * thetaK * (zMinusOne + 1) / (zMinusOne * zMinusOne));
}

// F_th / R in kelvin: quasi-harmonic + (a x^m / 6) sum anharmonic - (3/2) n e x^g T^2
// - (3/2) n T exp(S x^f - H x^h / T).
double ThermalFreeEnergyK(const Dorogokupets2007Parameters& p, double volumeRatio, double temperatureK) {
  double quasiHarmonic = 0, anharmonic = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const double thetaK = CharacteristicK(p, p.characteristic0K[i], volumeRatio);
    quasiHarmonic += i < 2 ? ModifiedEinsteinK(p.weight[i], thetaK, p.shape[i], temperatureK)
                           : EinsteinK(p.weight[i], thetaK, temperatureK);
    anharmonic += AnharmonicK(p.weight[i], thetaK, temperatureK);
  }
  anharmonic *= p.anharmonicPerK * std::pow(volumeRatio, p.anharmonicExponent) / 6;
  const double electronic =
      -1.5 * p.atoms * p.electronicPerK * std::pow(volumeRatio, p.electronicExponent) * temperatureK * temperatureK;
  const double vacancies =
      p.vacancyEnthalpyK == 0
          ? 0
          : -1.5 * p.atoms * temperatureK *
                std::exp(p.vacancyEntropy * std::pow(volumeRatio, p.vacancyEntropyExponent) -
                         p.vacancyEnthalpyK * std::pow(volumeRatio, p.vacancyEnthalpyExponent) / temperatureK);
  return quasiHarmonic + anharmonic + electronic + vacancies;
}

// P = P_Vinet(V) - d/dV [F_th(V, T) - F_th(V, T0)], the derivative by a five-point central
// difference with step 1e-4 V0 (error of order step^4, far below the model's own).
double Dorogokupets2007GPa(const Dorogokupets2007Parameters& p, double volumeRatio, double temperatureK) {
  if (!(temperatureK > 0)) return std::nan("");
  const auto freeEnergy = [&](double x) {
    return ThermalFreeEnergyK(p, x, temperatureK) - ThermalFreeEnergyK(p, x, kReferenceK);
  };
  constexpr double kStep = 1e-4;  // in x
  const double slopeKPerRatio = (freeEnergy(volumeRatio - 2 * kStep) - 8 * freeEnergy(volumeRatio - kStep) +
                                 8 * freeEnergy(volumeRatio + kStep) - freeEnergy(volumeRatio + 2 * kStep)) /
                                (12 * kStep);
  const double thermalPa = -kGasConstantJPerMolK * slopeKPerRatio / p.volume0M3;
  return VinetPressureGPa(volumeRatio, p.k0GPa, p.k0Prime) + thermalPa * 1e-9;
}

}  // namespace

double Dorogokupets2007AuGPa(double volumeRatio, double temperatureK) {
  return Dorogokupets2007GPa(kAu, volumeRatio, temperatureK);
}
double Dorogokupets2007PtGPa(double volumeRatio, double temperatureK) {
  return Dorogokupets2007GPa(kPt, volumeRatio, temperatureK);
}
double Dorogokupets2007MgOGPa(double volumeRatio, double temperatureK) {
  return Dorogokupets2007GPa(kMgO, volumeRatio, temperatureK);
}

}  // namespace vantor
