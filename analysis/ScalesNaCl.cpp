// SPDX-License-Identifier: GPL-3.0-or-later
// NaCl, rock salt B1 (Fm-3m), Z = 4, two atoms per formula unit. Both scales
// are BM4 + Mie-Grueneisen-Debye with constant q, with BurnMan's parameters.
#include <iterator>

#include "analysis/EquationsOfState.h"
#include "analysis/ScaleModels.h"
#include "analysis/ThermalPressure.h"

namespace vantor {

namespace {

constexpr int kCell = 4;                                        // formula units per cell
constexpr double kVolume0Cm3 = 27.013;                          // Matsui et al. 2012, both scales
constexpr double kHeatCapacity = 3 * 2 * kGasConstantJPerMolK;  // 3nR, n = 2

// Decker's P(V, T) table as Matsui et al. 2012 (Am. Mineral. 97, 1670) represent it:
// K0 = 23.7 GPa, K0' = 4.91, K0'' = -0.267/GPa; theta0 = 279 K, gamma0 = 1.59, q = 0.93,
// thermal reference 298.15 K (BurnMan's calibrant library, commit f743a077).
constexpr DebyeModel kDecker1971Debye{kVolume0Cm3 * 1e-6, 298.15, kHeatCapacity};
double Decker1971GPa(double volumeRatio, double temperatureK) {
  return Bm4PressureGPa(volumeRatio, 23.7, 4.91, -0.267) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 1.59, 0.93, 279), volumeRatio, temperatureK,
                               kDecker1971Debye);
}

// Matsui et al. 2012: K0 = 23.7 GPa, K0' = 5.14, K0'' = -0.392/GPa; theta0 = 279 K,
// gamma0 = 1.56, q = 0.96, T0 = 300 K (BurnMan's calibrant library).
constexpr DebyeModel kMatsui2012Debye{kVolume0Cm3 * 1e-6, 300, kHeatCapacity};
double Matsui2012GPa(double volumeRatio, double temperatureK) {
  return Bm4PressureGPa(volumeRatio, 23.7, 5.14, -0.392) +
         MgdThermalPressureGPa(ConstantQGammaTheta(volumeRatio, 1.56, 0.96, 279), volumeRatio, temperatureK,
                               kMatsui2012Debye);
}

// Decker's table ends at 1 - V/V0 = 0.2950 and 800 C; it starts at 0 C. NaCl turns
// B1 -> B2 near 30 GPa at 300 K.
constexpr ScaleRange kDeckerTable{0.705, kInfinite, 273.15, 1073.15,
                                  "Decker's table: V/V0 down to 0.705 (21.7 GPa at 800 C), 0-800 C; "
                                  "B1 -> B2 near 30 GPa at 300 K"};

constexpr PressureScale kNaClScales[] = {
    {.standard = "NaCl",
     .name = "Decker1971",
     .isDefault = true,
     .reference = {"Decker, D. L.", 1971, "J. Appl. Phys.", "42", "3239-3244", "10.1063/1.1660714"},
     .fidelity = "The BM4 + MGD representation of Decker's interionic-potential table by Matsui et al. (2012), "
                 "not Decker's own formulation; it is within 0.0004 GPa of the table at V0, 0.006 GPa low at "
                 "V/V0 = 0.8096 and 0.016 GPa low at V/V0 = 0.7050, at every T from 273 to 1073 K.",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kVolume0Cm3, kCell),
     .temperature0K = 298.15,
     .z = kCell,
     .range = kDeckerTable,
     .pressureGPaAt = &Decker1971GPa},
    {.standard = "NaCl",
     .name = "Matsui2012",
     .isDefault = false,
     .reference = {"Matsui, M., Higo, Y., Okamoto, Y., Irifune, T., Funakoshi, K.", 2012, "Am. Mineral.", "97",
                   "1670-1675", "10.2138/am.2012.4136"},
     .fidelity = "Parameters as in BurnMan; no published P(V, T) table was available to check them. Against "
                 "Decker1971 at the same a: +0.04 GPa at 10 GPa, -0.25 GPa at 20 GPa (300 K).",
     .volume0A3 = CellVolumeFromCm3PerMolA3(kVolume0Cm3, kCell),
     .temperature0K = 300,
     .z = kCell,
     // No table of its own: the range of Decker's table, the NaCl B1 scale it is compared with.
     .range = kDeckerTable,
     .pressureGPaAt = &Matsui2012GPa},
};

}  // namespace

std::vector<PressureScale> NaClScales() {
  return {std::begin(kNaClScales), std::end(kNaClScales)};
}

}  // namespace vantor
