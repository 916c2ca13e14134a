// SPDX-License-Identifier: GPL-3.0-or-later
// How a spectrum's pressure reads: the line of `vantor-cli pressure`, the
// short line of `watch`, and the table of a series. Every number comes
// with its sigma, its temperature's source and the reflections it rests
// on; a spectrum without a pressure shows none.
#pragma once

#include <span>
#include <string>

#include "analysis/CellPressure.h"

namespace vantor {

// "run7.med  2016-11-05 21:31:39  T = 1273 K (record)  a = 4.07865 ± 0.00012 Å  V/V0 = 0.9876
//  P = 12.34 ± 0.05 GPa  Au Fei2007  reflections 111 200 220 311 (dropped 222)"
std::string PressureLine(const SpectrumPressure& p);

// "COSI.med: cell of elements 1 2 3 4  T = 300 K (assumed)  a = 4.1627 ± 0.0004 Å  V/V0 = 0.9663
//  P = 6.14 ± 0.06 GPa  MgO Tange2009-Vinet  strain Q = 0.00110 ± 0.00006 along 8.7 ± 1.2° (fitted)
//  chi2 per degree of freedom 4.9"
std::string CellPressureLine(const CellPressure& cell);

// "run0042.xbm: 12.34 ± 0.05 GPa at 1273 K (Au, Fei2007)"
std::string PressureBrief(const SpectrumPressure& p);

// "COSI.med: cell 6.14 ± 0.06 GPa at 300 K (MgO, Tange2009-Vinet), strain Q = 0.00110 ± 0.00006"
std::string CellPressureBrief(const CellPressure& cell);

// The parts of the line, for the window's readout: "12.34 ± 0.05 GPa",
// "4.07865 ± 0.00012 Å", "1273 K (record)", "0.9876".
std::string PressureText(const SpectrumPressure& p);
std::string EdgeText(const SpectrumPressure& p);
std::string TemperatureText(const SpectrumPressure& p);
std::string VolumeRatioText(const SpectrumPressure& p);

// One CSV row per spectrum with a pressure, sorted by measurement date and
// time (ties in the order given), under a header row: file, element, date,
// time, temperature_K, a_A, a_sigma_A, v_over_v0, pressure_GPa,
// pressure_sigma_GPa, n_reflections, chi2_reduced, press_load.
std::string PressureTable(std::span<const SpectrumPressure> spectra);

}  // namespace vantor
