// SPDX-License-Identifier: GPL-3.0-or-later
// Au, fcc (Fm-3m), Z = 4, one atom per formula unit. Parameters are those of
// BurnMan's calibrant library (commit f743a077) unless a comment says otherwise.
#include <cmath>
#include <iterator>

#include "analysis/EquationsOfState.h"
#include "analysis/ScaleModels.h"
#include "analysis/ThermalPressure.h"

namespace vantor {

namespace {

constexpr int kCell = 4;
constexpr double kThreeR = 3 * kGasConstantJPerMolK;  // 3nR, n = 1

// Fei et al. 2007 (PNAS 104, 9182): V0 = 67.850 A^3, Vinet K0 = 167 GPa, K0' = 6.00;
// theta0 = 170 K, gamma0 = 2.97, q = 0.6, with theta integrated from gamma.
constexpr double kFei2007V0A3 = 67.850;
constexpr DebyeModel kFei2007Debye{MolarVolumeM3(kFei2007V0A3, kCell), 300, kThreeR};
double Fei2007GPa(double volumeRatio, double temperatureK) {
  return VinetPressureGPa(volumeRatio, 167, 6.00) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.97, 0.6, 170), volumeRatio, temperatureK,
                               kFei2007Debye);
}

// Anderson et al. 1989 (J. Appl. Phys. 65, 1534): BM3 K0 = 166.65 GPa, K0' = 5.4823 and
// the thermal pressure of their Eq. 29, [alpha K_T + (dK_T/dT)_V ln(V0/V)] (T - 300 K),
// alpha K_T = 7.14e-3 GPa/K, (dK_T/dT)_V = -11.5e-3 GPa/K. V0 = 67.850 A^3 is BurnMan's
// (the paper's 19.30 g/cm^3 is 67.79 A^3).
constexpr double kAnderson1989V0A3 = 67.850;
double Anderson1989ThermalGPa(double volumeRatio, double temperatureK) {
  return (7.14e-3 - 11.5e-3 * std::log(1 / volumeRatio)) * (temperatureK - 300);
}
double Anderson1989GPa(double volumeRatio, double temperatureK) {
  return Bm3PressureGPa(volumeRatio, 166.65, 5.4823) + Anderson1989ThermalGPa(volumeRatio, temperatureK);
}

// Shim et al. 2002 (Earth Planet. Sci. Lett. 203, 729): V0 = 10.215 cm^3/mol, BM3 K0 = 167 GPa,
// K0' = 5.0; theta0 = 170 K, gamma0 = 2.97, q = 1.0. The Debye prefactor is their
// mass-specific 0.125 J/(g K) times Au's 196.96657 g/mol in place of 3nR, and there is
// no electronic term: that reproduces their Table 2.
constexpr double kShim2002V0Cm3 = 10.215;
constexpr DebyeModel kShim2002Debye{kShim2002V0Cm3 * 1e-6, 300, 0.125 * 196.96657};
double Shim2002GPa(double volumeRatio, double temperatureK) {
  return Bm3PressureGPa(volumeRatio, 167, 5.0) + MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.97, 1.0, 170),
                                                                       volumeRatio, temperatureK, kShim2002Debye);
}

// Matsui 2010 (J. Phys.: Conf. Ser. 215, 012197): V0 = 10.215 cm^3/mol, Vinet K0 = 167 GPa,
// K0' = 6.0; theta0 = 170 K, gamma0 = 2.97, q = 1.6; plus BurnMan's electronic polynomial
// (source not stated there), not re-referenced to 300 K.
constexpr double kMatsui2010V0Cm3 = 10.215;
constexpr DebyeModel kMatsui2010Debye{kMatsui2010V0Cm3 * 1e-6, 300, kThreeR};
double Matsui2010ElectronicGPa(double temperatureK) {
  const double t = temperatureK;
  return (((1.4664e-16 * t - 8.0179e-13) * t + 1.6205e-8) * t - 5.4573e-6) * t - 7.8273e-5;
}
double Matsui2010GPa(double volumeRatio, double temperatureK) {
  return VinetPressureGPa(volumeRatio, 167, 6.0) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.97, 1.6, 170), volumeRatio, temperatureK,
                               kMatsui2010Debye) +
         Matsui2010ElectronicGPa(temperatureK);
}

// The extent of the Au tables the scales are checked against (Anderson's Table V at
// V/V0 = 0.66; Shim's Table 2, 1 - V/V0 = 0-0.34), 300-3000 K.
constexpr ScaleRange kAuTables{0.66, kInfinite, kRoomTemperatureK, 3000,
                               "the Au tables: V/V0 down to 0.66, 300-3000 K"};

constexpr PressureScale kAuScales[] = {
    {.standard = "Au",
     .name = "Fei2007",
     .isDefault = true,
     .reference = {"Fei, Y., Ricolleau, A., Frank, M., Mibe, K., Shen, G., Prakapenka, V.", 2007, "PNAS", "104",
                   "9182-9186", "10.1073/pnas.0609013104"},
     .fidelity = "Vinet + MGD with theta = theta0 exp[(gamma0 - gamma)/q], as BurnMan; the paper prints "
                 "theta = theta0 x^(-gamma), which gives at most 0.020 GPa more over 0.75 <= V/V0 <= 1, "
                 "1000-3000 K.",
     .volume0A3 = kFei2007V0A3,
     .temperature0K = 300,
     .z = kCell,
     // The span over which this form is compared with the printed one.
     .range = {0.75, kInfinite, kRoomTemperatureK, 3000,
               "compared with the paper's form over V/V0 0.75-1, up to 3000 K"},
     .pressureGPaAt = &Fei2007GPa},
    {.standard = "Au",
     .name = "Anderson1989",
     .isDefault = false,
     .reference = {"Anderson, O. L., Isaak, D. G., Yamamoto, S.", 1989, "J. Appl. Phys.", "65", "1534-1543",
                   "10.1063/1.342969"},
     .fidelity = "BM3 and the linear thermal pressure of the paper's Eq. 29; at V/V0 = 0.66 it gives 216.063 "
                 "and 222.439 GPa at 300 and 3000 K (Table V: 216.06, 222.44). V0 is BurnMan's 67.850 A^3.",
     .volume0A3 = kAnderson1989V0A3,
     .temperature0K = 300,
     .z = kCell,
     .range = kAuTables,
     .pressureGPaAt = &Anderson1989GPa},
    {.standard = "Au",
     .name = "Shim2002",
     .isDefault = false,
     .reference = {"Shim, S.-H., Duffy, T. S., Takemura, K.", 2002, "Earth Planet. Sci. Lett.", "203", "729-739",
                   "10.1016/S0012-821X(02)00917-2"},
     .fidelity = "BM3 + MGD with the paper's mass-specific Debye prefactor and no electronic term; reproduces "
                 "the paper's Table 2 within 0.005 GPa at 20 points (1 - V/V0 = 0-0.34, 300-3000 K).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kShim2002V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     .range = kAuTables,
     .pressureGPaAt = &Shim2002GPa},
    {.standard = "Au",
     .name = "Matsui2010",
     .isDefault = false,
     .reference = {"Matsui, M.", 2010, "J. Phys.: Conf. Ser.", "215", "012197", "10.1088/1742-6596/215/1/012197"},
     .fidelity = "Unverified: no published table was available; the electronic polynomial is BurnMan's and its "
                 "source is not stated.",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kMatsui2010V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     // No table of its own: the extent of the other Au scales' tables.
     .range = kAuTables,
     .pressureGPaAt = &Matsui2010GPa},
    {.standard = "Au",
     .name = "Tsuchiya2003",
     .isDefault = false,
     .reference = {"Tsuchiya, T.", 2003, "J. Geophys. Res.", "108(B10)", "2462", "10.1029/2003JB002446"},
     .fidelity = "The paper's first-principles Table 1 by a not-a-knot bicubic spline through all its nodes; "
                 "V0 is BurnMan's 10.207 cm^3/mol (at a = 4.07865 A, 300 K it reads -0.128 GPa).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kTsuchiya2003V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     .range = {0.66, 1.0, 300, 2500, "the extent of the paper's Table 1: V/V0 0.66-1, 300-2500 K"},
     .pressureGPaAt = &Tsuchiya2003AuGPa},
    {.standard = "Au",
     .name = "Dorogokupets2007",
     .isDefault = false,
     .reference = kDorogokupets2007,
     .fidelity = "Vinet cold curve at 298.15 K and the paper's Helmholtz thermal model (BurnMan's parameters); "
                 "within 0.004 GPa of the paper's isochore V/V0 = 0.7 at 298-2000 K. Not the Dorogokupets & "
                 "Dewaele (2007) scale.",
     .volume0A3 = CellVolumeFromCm3PerMolA3(10.215, kCell),  // Dorogokupets & Oganov 2007, as BurnMan
     .temperature0K = 298.15,
     .z = kCell,
     .range = kDorogokupets2007Range,
     .pressureGPaAt = &Dorogokupets2007AuGPa},
};

}  // namespace

std::vector<PressureScale> AuScales() {
  return {std::begin(kAuScales), std::end(kAuScales)};
}

}  // namespace vantor
