// SPDX-License-Identifier: GPL-3.0-or-later
// What a pressure standard's spectrum is expected to show besides where its
// lines are: how strong each reflection is relative to the others, and its
// own fluorescence lines, which can sit on a reflection.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/Standards.h"

namespace vantor {

// Each reflection's expected strength relative to the strongest (1): the
// energy-dispersive integrated intensity m |F|^2 d^2 (Buras and Gerward),
// the structure factor from xraylib's atomic form factors, the incident
// spectrum taken as flat. All 1 for a standard whose atoms are not listed.
std::vector<double> ExpectedStrengths(const Standard& standard, std::span<const Reflection> reflections);

// "Au Kb1 fluorescence at 77.98 keV" when one of the standard's own K lines
// lies within toleranceKeV of energyKeV; else empty.
std::string FluorescenceNear(const Standard& standard, double energyKeV, double toleranceKeV);

}  // namespace vantor
