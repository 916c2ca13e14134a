// SPDX-License-Identifier: GPL-3.0-or-later
// Pt, fcc (Fm-3m), Z = 4, one atom per formula unit. Parameters are those of
// BurnMan's calibrant library (commit f743a077) unless a comment says otherwise.
#include <iterator>

#include "analysis/EquationsOfState.h"
#include "analysis/ScaleModels.h"
#include "analysis/ThermalPressure.h"

namespace vantor {

namespace {

constexpr int kCell = 4;
constexpr double kThreeR = 3 * kGasConstantJPerMolK;  // 3nR, n = 1

// Fei et al. 2007 (PNAS 104, 9182): V0 = 60.38 A^3, Vinet K0 = 277 GPa, K0' = 5.08;
// theta0 = 230 K, gamma0 = 2.72, q = 0.5, with theta integrated from gamma.
constexpr double kFei2007V0A3 = 60.38;
constexpr DebyeModel kFei2007Debye{MolarVolumeM3(kFei2007V0A3, kCell), 300, kThreeR};
double Fei2007GPa(double volumeRatio, double temperatureK) {
  return VinetPressureGPa(volumeRatio, 277, 5.08) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.72, 0.5, 230), volumeRatio, temperatureK,
                               kFei2007Debye);
}

// Holmes et al. 1989 (J. Appl. Phys. 66, 2962): the 300 K curve of their Eq. 11,
// P_T = 798.31 GPa, eta = 7.2119, and the thermal pressure of Eq. 12, alpha K_T (T - 300 K)
// with alpha = 2.61e-5/K, K_T = 266.10 GPa. V0 = 60.38 A^3 is BurnMan's (the paper's
// 101.9 bohr^3/atom is 60.40 A^3).
constexpr double kHolmes1989V0A3 = 60.38;
double Holmes1989ThermalGPa(double temperatureK) {
  return 2.61e-5 * 266.10 * (temperatureK - 300);
}
double Holmes1989GPa(double volumeRatio, double temperatureK) {
  return HolmesVinetPressureGPa(volumeRatio, 798.31, 7.2119) + Holmes1989ThermalGPa(temperatureK);
}

// The electronic pressure BurnMan adds to Matsui2009 and Zha2008 (T in K, GPa), not
// re-referenced to 300 K.
double PlatinumElectronicGPa(double temperatureK) {
  const double t = temperatureK;
  return (((1.1916e-15 * t - 1.4551e-11) * t + 1.6209e-7) * t + 1.8269e-4) * t - 0.069;
}

// Matsui et al. 2009 (J. Appl. Phys. 105, 013505): V0 = 9.0904 cm^3/mol, Vinet K0 = 273 GPa,
// K0' = 5.20; theta0 = 230 K, gamma0 = 2.70, q = 1.10.
constexpr double kMatsui2009V0Cm3 = 9.0904;
constexpr DebyeModel kMatsui2009Debye{kMatsui2009V0Cm3 * 1e-6, 300, kThreeR};
double Matsui2009GPa(double volumeRatio, double temperatureK) {
  return VinetPressureGPa(volumeRatio, 273, 5.20) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.70, 1.10, 230), volumeRatio, temperatureK,
                               kMatsui2009Debye) +
         PlatinumElectronicGPa(temperatureK);
}

// Zha et al. 2008 (J. Appl. Phys. 103, 054908): V0 = 9.0904 cm^3/mol, BM3 K0 = 273.5 GPa,
// K0' = 4.7; theta0 = 230 K (BurnMan notes "370-405"), gamma0 = 2.75, q = 0.25.
constexpr double kZha2008V0Cm3 = 9.0904;
constexpr DebyeModel kZha2008Debye{kZha2008V0Cm3 * 1e-6, 300, kThreeR};
double Zha2008GPa(double volumeRatio, double temperatureK) {
  return Bm3PressureGPa(volumeRatio, 273.5, 4.7) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 2.75, 0.25, 230), volumeRatio, temperatureK,
                               kZha2008Debye) +
         PlatinumElectronicGPa(temperatureK);
}

// Matsui et al. 2009, Table III: V/V0 = 1 down to 0.70, 300-3000 K.
constexpr ScaleRange kMatsui2009Table{0.70, kInfinite, kRoomTemperatureK, 3000,
                                      "Matsui et al. 2009's Table III: V/V0 down to 0.70, 300-3000 K"};

constexpr PressureScale kPtScales[] = {
    {.standard = "Pt",
     .name = "Fei2007",
     .isDefault = true,
     .reference = {"Fei, Y., Ricolleau, A., Frank, M., Mibe, K., Shen, G., Prakapenka, V.", 2007, "PNAS", "104",
                   "9182-9186", "10.1073/pnas.0609013104"},
     .fidelity = "Vinet + MGD with theta = theta0 exp[(gamma0 - gamma)/q], as BurnMan; the paper prints "
                 "theta = theta0 x^(-gamma), which gives at most 0.027 GPa more over 0.75 <= V/V0 <= 1, "
                 "up to 3000 K.",
     .volume0A3 = kFei2007V0A3,
     .temperature0K = 300,
     .z = kCell,
     // The span over which this form is compared with the printed one.
     .range = {0.75, kInfinite, kRoomTemperatureK, 3000,
               "compared with the paper's form over V/V0 0.75-1, up to 3000 K"},
     .pressureGPaAt = &Fei2007GPa},
    {.standard = "Pt",
     .name = "Holmes1989",
     .isDefault = false,
     .reference = {"Holmes, N. C., Moriarty, J. A., Gathers, G. R., Nellis, W. J.", 1989, "J. Appl. Phys.", "66",
                   "2962-2967", "10.1063/1.344177"},
     .fidelity = "The paper's Eq. 11 (300 K) and Eq. 12 (linear thermal pressure, K_T = 266.10 GPa); stated "
                 "adequate below 2000 K. V0 is BurnMan's 60.38 A^3 (the paper's is 60.40 A^3, +0.09 GPa).",
     .volume0A3 = kHolmes1989V0A3,
     .temperature0K = 300,
     .z = kCell,
     // The paper states the thermal term adequate below 2000 K and gives no volume limit.
     .range = {0, kInfinite, kRoomTemperatureK, 2000, "stated adequate below 2000 K"},
     .pressureGPaAt = &Holmes1989GPa},
    {.standard = "Pt",
     .name = "Matsui2009",
     .isDefault = false,
     .reference = {"Matsui, M., Ito, E., Katsura, T., Yamazaki, D., Yoshino, T., Yokoyama, A., Funakoshi, K.", 2009,
                   "J. Appl. Phys.", "105", "013505", "10.1063/1.3054331"},
     .fidelity = "Vinet + MGD with BurnMan's electronic polynomial, 0.02-0.06 GPa above the paper's electronic "
                 "term from 500 to 3000 K; Table III: 21.54 GPa at V0, 3000 K (this form 21.586), 235.96 GPa "
                 "at V/V0 = 0.70, 300 K (235.962).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kMatsui2009V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     .range = kMatsui2009Table,
     .pressureGPaAt = &Matsui2009GPa},
    {.standard = "Pt",
     .name = "Zha2008",
     .isDefault = false,
     .reference = {"Zha, C.-S., Mibe, K., Bassett, W. A., Tschauner, O., Mao, H.-K., Hemley, R. J.", 2008,
                   "J. Appl. Phys.", "103", "054908", "10.1063/1.2844358"},
     .fidelity = "Unverified. BurnMan sets theta0 = 230 K with a note \"370-405\"; 380 K would lower P by "
                 "0.08-0.18 GPa at 1000-2000 K.",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kZha2008V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     // No table of its own: that of Matsui2009, which shares its electronic term.
     .range = kMatsui2009Table,
     .pressureGPaAt = &Zha2008GPa},
    {.standard = "Pt",
     .name = "Dorogokupets2007",
     .isDefault = false,
     .reference = kDorogokupets2007,
     .fidelity = "Vinet cold curve at 298.15 K and the paper's Helmholtz thermal model (BurnMan's parameters); "
                 "0.014-0.016 GPa below the paper's isochore V/V0 = 0.7 at 298-2000 K.",
     .volume0A3 = CellVolumeFromCm3PerMolA3(9.091, kCell),  // Dorogokupets & Oganov 2007, as BurnMan
     .temperature0K = 298.15,
     .z = kCell,
     .range = kDorogokupets2007Range,
     .pressureGPaAt = &Dorogokupets2007PtGPa},
};

}  // namespace

std::vector<PressureScale> PtScales() {
  return {std::begin(kPtScales), std::end(kPtScales)};
}

}  // namespace vantor
