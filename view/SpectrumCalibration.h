// SPDX-License-Identifier: GPL-3.0-or-later
// The calibrations the viewer makes from the spectra it shows, as
// `vantor-cli calibrate` makes them from their files (each detector
// element on its own), and a calibration applied back to them.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "analysis/CalibrationReport.h"
#include "view/ChartModel.h"

namespace vantor {

std::vector<ElementEnergy> CalibrateEnergyOfSpectra(std::span<const ChartSpectrum> spectra,
                                                    std::span<const CalibrationLine> lines,
                                                    const EnergyCalibrationOptions& options);

std::vector<TwoThetaCalibration> CalibrateTwoThetaOfSpectra(std::span<const ChartSpectrum> spectra,
                                                            const Standard& standard, const TwoThetaOptions& options);

// What the calibration holds for the spectrum's element (the energy
// calibration, the angle, or both); none when it holds nothing for it.
std::optional<ElementCalibration> CalibrationOfSpectrum(const CalibrationValues& values, const ChartSpectrum& spectrum);

}  // namespace vantor
