// SPDX-License-Identifier: GPL-3.0-or-later
// The window's result tables as cells of text: every fitted value with its
// uncertainty in the one format of the command line ("42.8776(16)" is
// 42.8776 ± 0.0016), so the window and vantor-cli show the same digits;
// and the peaks as delimited text for the clipboard and the exported table.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/EnergyCalibration.h"
#include "analysis/PeakSearch.h"
#include "analysis/SpectrumPressure.h"
#include "analysis/TwoThetaCalibration.h"

namespace vantor {

struct CellTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

// channel, energy/keV, d/Å, FWHM (keV, or channels without a calibration),
// area, and a note: "escape", or "not fitted: why". "-" where a value is
// not defined.
CellTable PeakCells(std::span<const PeakResult> peaks);

// A header row and a row per peak, the values and their sigmas in columns
// of their own, numbers in full and without a locale, empty where none:
// spectrum, channel, channel_sigma, energy_keV, energy_sigma_keV, d_A,
// d_sigma_A, fwhm, fwhm_sigma, fwhm_unit, height, height_sigma, area,
// area_sigma, escape, fitted. Lines end in "\n".
std::string PeaksDelimited(std::span<const PeakResult> peaks, std::string_view spectrum, char separator);

// "A = 0.0319 ± 0.0012 keV", "B = ... keV/channel", "C = ... keV/channel^2".
std::array<std::string, 3> CoefficientTexts(const EnergyCalibration& calibration);
// line, energy/keV, spectrum, channel, residual/keV.
CellTable CalibrationPointCells(const EnergyCalibration& calibration);

// spectrum, file's 2θ, calibrated 2θ, reflections (or why not calibrated).
CellTable TwoThetaSummaryCells(std::span<const TwoThetaCalibration> calibrations);
// hkl, d/Å, energy/keV, residual/keV; the reflections left out follow with
// "left out: why".
CellTable TwoThetaReflectionCells(const TwoThetaCalibration& calibration);

// hkl, energy/keV, d/Å, d calc/Å, a/Å; the dropped reflections follow with
// "dropped: why".
CellTable PressureReflectionCells(const SpectrumPressure& pressure);
// spectrum, P, T, a, V/V0, reflections (or why there is no pressure).
CellTable PressureSummaryCells(std::span<const SpectrumPressure> pressures);

}  // namespace vantor
