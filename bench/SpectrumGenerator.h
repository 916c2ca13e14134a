// SPDX-License-Identifier: GPL-3.0-or-later
// Realistic synthetic spectra for samples, benchmarks and tests: a falling
// background with Poisson-like noise plus Gaussian diffraction peaks, the
// beamline's usual calibration and a plausible header.
#pragma once

#include <cstdint>

#include "base/SpectrumRecord.h"

namespace vantor::bench {

SpectrumRecord GenerateSpectrum(std::uint32_t seed, int channels);

}  // namespace vantor::bench
