// SPDX-License-Identifier: GPL-3.0-or-later
// The pressure of each scale as a function of x = V/V0 (the scale's own V0) and
// T in K, for the scale tables. NaN where a model cannot be evaluated.
#pragma once

#include <limits>
#include <vector>

#include "analysis/PressureScale.h"

namespace vantor {

inline constexpr double kInfinite = std::numeric_limits<double>::infinity();

// Dorogokupets & Oganov 2007 (Helmholtz energy model), one per standard.
double Dorogokupets2007AuGPa(double volumeRatio, double temperatureK);
double Dorogokupets2007PtGPa(double volumeRatio, double temperatureK);
double Dorogokupets2007MgOGPa(double volumeRatio, double temperatureK);

// The lowest temperature of a model scale's range: its tables start at the
// reference temperature (298.15 or 300 K), but a cell at room temperature is
// no extrapolation worth a warning; the thermal pressure changes by about
// 0.01 GPa over those few kelvin. Tables interpolated (Tsuchiya 2003) keep
// their own lowest temperature.
inline constexpr double kRoomTemperatureK = 273.15;

// The paper and the checked range shared by the three.
inline constexpr ScaleReference kDorogokupets2007{
    "Dorogokupets, P. I., Oganov, A. R.", 2007, "Phys. Rev. B", "75", "024115", "10.1103/PhysRevB.75.024115"};
inline constexpr ScaleRange kDorogokupets2007Range{0.70, kInfinite, kRoomTemperatureK, 2000,
                                                   "the paper's isochore V/V0 = 0.7, 298-2000 K"};

// Tsuchiya 2003's first-principles table for Au, interpolated.
double Tsuchiya2003AuGPa(double volumeRatio, double temperatureK);
inline constexpr double kTsuchiya2003V0Cm3 = 10.207;  // BurnMan's value

// The scales of each standard, the default first; a0 is filled in by the caller.
std::vector<PressureScale> NaClScales();
std::vector<PressureScale> AuScales();
std::vector<PressureScale> PtScales();
std::vector<PressureScale> MgOScales();

}  // namespace vantor
