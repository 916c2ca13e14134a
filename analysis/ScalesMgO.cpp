// SPDX-License-Identifier: GPL-3.0-or-later
// MgO, rock salt B1 (Fm-3m), Z = 4, two atoms per formula unit.
#include <iterator>

#include "analysis/EquationsOfState.h"
#include "analysis/ScaleModels.h"
#include "analysis/ThermalPressure.h"

namespace vantor {

namespace {

constexpr int kCell = 4;
constexpr double kSixR = 3 * 2 * kGasConstantJPerMolK;  // 3nR, n = 2

// Tange et al. 2009 (J. Geophys. Res. 114, B03208), Al'tshuler gamma(V) and theta(V);
// V0 = 11.2463 cm^3/mol is BurnMan's (commit f743a077).
constexpr double kTange2009V0Cm3 = 11.2463;
constexpr DebyeModel kTange2009Debye{kTange2009V0Cm3 * 1e-6, 300, kSixR};

// Their Vinet fit: K0 = 160.63 GPa, K0' = 4.367, theta0 = 761 K, gamma0 = 1.442, a = 0.138, b = 5.4.
double Tange2009VinetGPa(double volumeRatio, double temperatureK) {
  return VinetPressureGPa(volumeRatio, 160.63, 4.367) +
         MgdThermalPressureGPa(AltshulerGammaTheta(volumeRatio, 1.442, 0.138, 5.4, 761), volumeRatio, temperatureK,
                               kTange2009Debye);
}

// Their BM3 fit: K0 = 160.64 GPa, K0' = 4.221, theta0 = 761 K, gamma0 = 1.431, a = 0.29, b = 3.5.
double Tange2009Bm3GPa(double volumeRatio, double temperatureK) {
  return Bm3PressureGPa(volumeRatio, 160.64, 4.221) +
         MgdThermalPressureGPa(AltshulerGammaTheta(volumeRatio, 1.431, 0.29, 3.5, 761), volumeRatio, temperatureK,
                               kTange2009Debye);
}

// Speziale et al. 2001 (J. Geophys. Res. 106, 515), the published equations: V0 = 74.71 A^3,
// BM3 K0 = 160.2 GPa, K0' = 3.99; theta0 = 773 K, gamma0 = 1.524, q0 = 1.65, q1 = 11.8.
constexpr double kSpeziale2001V0A3 = 74.71;
constexpr DebyeModel kSpeziale2001Debye{MolarVolumeM3(kSpeziale2001V0A3, kCell), 300, kSixR};
double Speziale2001GPa(double volumeRatio, double temperatureK) {
  return Bm3PressureGPa(volumeRatio, 160.2, 3.99) +
         MgdThermalPressureGPa(VariableQGammaTheta(volumeRatio, 1.524, 1.65, 11.8, 773), volumeRatio, temperatureK,
                               kSpeziale2001Debye);
}

constexpr ScaleReference kTange2009{
    "Tange, Y., Nishihara, Y., Tsuchiya, T.", 2009, "J. Geophys. Res.", "114", "B03208", "10.1029/2008JB005813"};
// Tange et al. 2009's Table 5, 0-133 GPa, as far as it is checked: V/V0 down to 0.70, 300-2000 K.
constexpr ScaleRange kTange2009Table{0.70, kInfinite, kRoomTemperatureK, 2000,
                                     "the paper's Table 5: V/V0 down to 0.70, 300-2000 K"};

constexpr PressureScale kMgOScales[] = {
    {.standard = "MgO",
     .name = "Tange2009-Vinet",
     .isDefault = true,
     .reference = kTange2009,
     .fidelity = "The paper's Vinet fit with Al'tshuler gamma(V); within 0.005 GPa of its Table 5 (0-133 GPa, "
                 "300-2000 K).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kTange2009V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     .range = kTange2009Table,
     .pressureGPaAt = &Tange2009VinetGPa},
    {.standard = "MgO",
     .name = "Tange2009-BM3",
     .isDefault = false,
     .reference = kTange2009,
     .fidelity = "The paper's BM3 fit with Al'tshuler gamma(V); within 0.005 GPa of its Table 5 (0-133 GPa, "
                 "300-2000 K).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kTange2009V0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     .range = kTange2009Table,
     .pressureGPaAt = &Tange2009Bm3GPa},
    {.standard = "MgO",
     .name = "Speziale2001",
     .isDefault = false,
     .reference = {"Speziale, S., Zha, C.-S., Duffy, T. S., Hemley, R. J., Mao, H. K.", 2001, "J. Geophys. Res.",
                   "106(B1)", "515-528", "10.1029/2000JB900318"},
     .fidelity = "The published equations with variable q; no published table to compare. BurnMan's constant-q "
                 "version gives 0.33-2.48 GPa less at V/V0 0.80-0.90, 1000-2000 K.",
     .volume0A3 = kSpeziale2001V0A3,
     .temperature0K = 300,
     .z = kCell,
     // No table: the span over which it is compared with the constant-q form.
     .range = {0.80, kInfinite, kRoomTemperatureK, 2000, "compared only over V/V0 0.80-0.90, up to 2000 K"},
     .pressureGPaAt = &Speziale2001GPa},
    {.standard = "MgO",
     .name = "Dorogokupets2007",
     .isDefault = false,
     .reference = kDorogokupets2007,
     .fidelity = "Vinet cold curve at 298.15 K and the paper's Helmholtz thermal model (BurnMan's parameters); "
                 "0.052 GPa above the paper's isochore V/V0 = 0.7 at every T from 298 to 2000 K (cold curve).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(11.248, kCell),  // Dorogokupets & Oganov 2007, as BurnMan
     .temperature0K = 298.15,
     .z = kCell,
     .range = kDorogokupets2007Range,
     .pressureGPaAt = &Dorogokupets2007MgOGPa},
};

}  // namespace

std::vector<PressureScale> MgOScales() {
  return {std::begin(kMgOScales), std::end(kMgOScales)};
}

}  // namespace vantor
