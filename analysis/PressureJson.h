// SPDX-License-Identifier: GPL-3.0-or-later
// The objects of `vantor-cli pressure --json`, which Python returns as
// dicts key for key: a spectrum's pressure with its parts and reflections
// (or, without one, its file, element, standard, scale and error), and the
// pressure of the cell a detector ring's elements see together.
#pragma once

#include <nlohmann/json.hpp>

#include "analysis/CellPressure.h"

namespace vantor {

nlohmann::ordered_json PressureJson(const SpectrumPressure& p);

// {"file", "cell": true, "standard", "scale", ...} after the file's spectra.
nlohmann::ordered_json CellPressureJson(const CellPressure& cell);

}  // namespace vantor
