// SPDX-License-Identifier: GPL-3.0-or-later
// Peaks and calibrations for Python, as vantor-cli's `peaks` and
// `calibrate` give them, and the calibration file a script reads with.
#pragma once

#include <pybind11/pybind11.h>

#include <nlohmann/json.hpp>

#include "base/RunSettings.h"
#include "python/Spectrum.h"

namespace vantor::python {

// calibration=: a calibration file's path applied to the spectrum in place
// (its element's values); a Python warning when the file has nothing for
// that element. None does nothing. Raises for a missing or broken file.
void ApplyCalibrationArgument(const pybind11::object& calibration, Spectrum& spectrum);

// A calibration file's values (path-like `given`); FileNotFoundError or
// ValueError when it cannot be read.
CalibrationValues LoadCalibration(const pybind11::object& given);

// The dict, list or number Python's json module makes of `value`: one way
// for every JSON object Vantor writes to reach a script key for key.
pybind11::object FromJson(const nlohmann::ordered_json& value);

void BindAnalysis(pybind11::module_& m);

}  // namespace vantor::python
