// SPDX-License-Identifier: GPL-3.0-or-later
// Peaks and calibrations for Python, as vantor-cli's `peaks` and
// `calibrate` give them, and the calibration file a script reads with.
#pragma once

#include <pybind11/pybind11.h>

#include "python/Spectrum.h"

namespace vantor::python {

// calibration=: a calibration file's path applied to the spectrum in place
// (its element's values); a Python warning when the file has nothing for
// that element. None does nothing. Raises for a missing or broken file.
void ApplyCalibrationArgument(const pybind11::object& calibration, Spectrum& spectrum);

void BindAnalysis(pybind11::module_& m);

}  // namespace vantor::python
