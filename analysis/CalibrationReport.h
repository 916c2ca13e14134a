// SPDX-License-Identifier: GPL-3.0-or-later
// The calibrations as `calibrate` runs them on the spectra of files (each
// detector element on its own) and as it reports them, in text and JSON,
// the same for the command line and Python; and the calibration file of
// what they found.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/EnergyCalibration.h"
#include "analysis/TwoThetaCalibration.h"
#include "base/SpectrumRecord.h"
#include "convert/CalibrationFile.h"

namespace vantor {

// One spectrum of a file: element as CalibrationElement gives it.
struct ElementSpectrum {
  std::string file;
  std::size_t element = 0;
  const SpectrumRecord* record = nullptr;
};

// "run.xbm", or "COSI.med:3" for element 3 of a file of several.
std::string SpectrumName(const std::string& file, std::size_t element);

// ---- energy: the spectra of one element pooled, each element on its own

struct ElementEnergy {
  std::size_t element = 0;
  EnergyCalibration calibration;
};

std::vector<ElementEnergy> CalibrateEnergyByElement(std::span<const ElementSpectrum> spectra,
                                                    std::span<const CalibrationLine> lines,
                                                    const EnergyCalibrationOptions& options);

// {"egc", "egc_sigma", "egc_cov", "degree", "chi2_per_degree", "lines": [{"name", "energy", "file",
// "channel", "channel_sigma", "residual"}], "unmatched", "files"}; {"error"} when it failed. One
// calibration of element 0 alone is that object; several are an array, each with its "element".
nlohmann::ordered_json EnergyJson(std::span<const ElementEnergy> calibrations);
std::string EnergyText(const ElementEnergy& calibration);

// ---- 2theta: each spectrum on its own

std::vector<TwoThetaCalibration> CalibrateTwoThetaOf(std::span<const ElementSpectrum> spectra, const Standard& standard,
                                                     const TwoThetaOptions& options);

// [{"file", "element", "two_theta", "two_theta_sigma", "file_two_theta", "chi2_per_degree",
// "reflections": [{"hkl", "d", "energy", "energy_sigma", "residual"}], "left_out": [{"hkl", "d",
// "why"}]}]; a failed one has "error" and a null angle.
nlohmann::ordered_json TwoThetaJson(std::span<const TwoThetaCalibration> calibrations);
std::string TwoThetaText(const TwoThetaCalibration& calibration);

// ---- the calibration file

// The energy calibrations that succeeded, dated now; none, and why, when
// none did.
std::optional<CalibrationFile> EnergyCalibrationFile(std::span<const ElementEnergy> calibrations,
                                                     std::string_view lines, std::string& why);
// The angles that were found, each element with the energy calibration the
// spectra were read with when that came from a calibration file
// (`applied`); none, and why, when no angle was found or two spectra of
// the same element give one.
std::optional<CalibrationFile> TwoThetaCalibrationFile(std::span<const TwoThetaCalibration> calibrations,
                                                       std::string_view standard, const CalibrationFile* applied,
                                                       std::string& why);

}  // namespace vantor
