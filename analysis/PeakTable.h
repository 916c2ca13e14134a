// SPDX-License-Identifier: GPL-3.0-or-later
// A spectrum's peaks as `peaks` shows them and as JSON, the same for the
// command line and Python: each fitted value with its uncertainty, energy
// and d-spacing only where they are defined.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/PeakSearch.h"

namespace vantor {

struct SpectrumPeaks {
  std::string file;
  std::size_t element = 0;  // 1.. in a file of several spectra, else 0
  double twoThetaDeg = 0;
  double minSnr = 5;
  PeakSearch search;
};

// {"file", "element" (only in a file of several spectra), "two_theta", "peaks": [{"channel",
// "channel_sigma", "energy", "energy_sigma", "d", "d_sigma", "fwhm", "fwhm_sigma", "height",
// "height_sigma", "area", "area_sigma", "escape", "fitted"}]}: energy and d null where undefined,
// sigmas null where a fit failed; fwhm in keV where energies are defined, else in channels.
nlohmann::ordered_json PeaksJson(const SpectrumPeaks& peaks);

// A heading and a table with a column per value, or the reason no peak is shown.
std::string PeaksText(const SpectrumPeaks& peaks);

}  // namespace vantor
