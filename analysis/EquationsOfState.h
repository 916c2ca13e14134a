// SPDX-License-Identifier: GPL-3.0-or-later
// Isothermal equations of state: the pressure along a scale's reference isotherm
// as a function of the volume ratio x = V/V0 (eta = V0/V). Pressures and bulk
// moduli in GPa, K0'' in 1/GPa.
#pragma once

namespace vantor {

// Avogadro's number and the gas constant, both exact in the SI since 2019.
inline constexpr double kAvogadroPerMol = 6.02214076e23;
inline constexpr double kGasConstantJPerMolK = 8.314462618;  // N_A k

// The molar volume (m^3 per mole of formula units) of a cell of `cellVolumeA3`
// holding `z` formula units, and the cell volume of a molar volume.
constexpr double MolarVolumeM3(double cellVolumeA3, int z) {
  return cellVolumeA3 * 1e-30 * kAvogadroPerMol / z;
}
constexpr double CellVolumeA3(double molarVolumeM3, int z) {
  return molarVolumeM3 * z / kAvogadroPerMol * 1e30;
}
constexpr double CellVolumeFromCm3PerMolA3(double molarVolumeCm3, int z) {
  return CellVolumeA3(molarVolumeCm3 * 1e-6, z);
}

// Third-order Birch-Murnaghan.
double Bm3PressureGPa(double volumeRatio, double k0GPa, double k0Prime);

// Fourth-order Birch-Murnaghan in the Eulerian strain f = (eta^(2/3) - 1) / 2.
double Bm4PressureGPa(double volumeRatio, double k0GPa, double k0Prime, double k0SecondPerGPa);

// Vinet (Vinet et al. 1987, J. Geophys. Res. 92, 9319).
double VinetPressureGPa(double volumeRatio, double k0GPa, double k0Prime);

// The Vinet form as Holmes et al. 1989 (J. Appl. Phys. 66, 2962, Eq. 11) write it:
// P = P_T (1 - X) X^-2 exp[eta (1 - X)], X = x^(1/3), P_T = 3 K0, eta = 1.5 (K0' - 1).
double HolmesVinetPressureGPa(double volumeRatio, double scalePressureGPa, double eta);

}  // namespace vantor
