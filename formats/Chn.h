// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec CHN spectra (Maestro and the analysers it drives): a binary file of
// one spectrum, a 32-byte header, 32-bit counts and an optional 512-byte
// trailer with the calibrations and two descriptions.
#pragma once

#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like a CHN file: the header's first 16-bit word is -1.
bool LooksLikeChn(std::string_view head);

// The one spectrum of a CHN file's bytes into `spectra` (cleared first). A
// file error when the header or the counts are cut short, the channel count
// is 0 or above 8192, a count does not fit 32 bits, or a trailer is cut
// short; `spectra` is then left empty.
ReadResult ChnSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
