// SPDX-License-Identifier: GPL-3.0-or-later
// Where a standard's reflections fall in a spectrum, for tick marks over
// it: each reflection's d at a given cell, its energy by Bragg's law at the
// spectrum's 2theta (exact hc) and its channel by the spectrum's energy
// calibration.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Standards.h"

namespace vantor {

// The channel number (from 1, fractional) at which E(x) = a + b x + c x^2
// gives the energy; none when the calibration does not rise over channels
// 1..channels or the energy lies outside them.
std::optional<double> ChannelOfEnergy(double energyKeV, const std::array<double, 3>& egc, std::size_t channels);

struct ReflectionMark {
  std::string hkl;
  double dA = 0;
  double energyKeV = 0;
  double channel = 0;  // from 1
  bool weak = false;
};

// The reflections of the standard at `cell` that lie within the spectrum's
// channels at 2theta, by energy; none without an angle or calibration.
std::vector<ReflectionMark> ReflectionMarks(const Standard& standard, const Cell& cell, double twoThetaDeg,
                                            const std::array<double, 3>& egc, std::size_t channels);

}  // namespace vantor
