// SPDX-License-Identifier: GPL-3.0-or-later
// One spectrum as Python sees it: the record, and the source format it was
// read from (none for a spectrum a script built). Its arrays are worked out
// from the record on each access, so they always agree with its header.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "base/SourceSpectrum.h"
#include "base/SpectrumRecord.h"

namespace vantor::python {

struct Spectrum {
  SpectrumRecord record;
  std::optional<std::string> kind;
  std::optional<std::size_t> element;  // 1-based, in a file of several spectra
  std::optional<std::string> path;     // the file it was read from
  std::vector<HeaderValue> extra;      // the file's header values without a record field
};

int ChannelCount(const Spectrum& spectrum);

// Integer counts (an array or a list), at most kMaxChannels, each within 32 bits; they become
// the record's counts and channel count. Anything else raises TypeError or
// ValueError and leaves the record as it was.
void SetCounts(Spectrum& spectrum, const pybind11::object& counts);

pybind11::array_t<double> Energies(const Spectrum& spectrum);

// d = hc / (2 E sin theta), as in the 3D Data table; NaN where the energy or
// the angle gives no positive denominator.
pybind11::array_t<double> DSpacings(const Spectrum& spectrum);

void BindSpectrum(pybind11::module_& m);

}  // namespace vantor::python
