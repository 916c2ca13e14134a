// SPDX-License-Identifier: GPL-3.0-or-later
// The Amptek MCA text (.mca) that ADMCA, DppMCA and PMCA write:
// "<<SECTION>>" blocks from "<<PMCA SPECTRUM>>" to "<<END>>", then the
// device's configuration and status; one spectrum.
#pragma once

#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like this format: the first line is "<<PMCA SPECTRUM>>".
bool LooksLikeAmptekMca(std::string_view head);

// The spectrum of a whole file's bytes into `spectra` (cleared first). A
// file error with the line and a short reason when the bytes are not a
// complete, valid file (one without "<<END>>" is cut short); `spectra` is
// then left empty.
ReadResult AmptekMcaSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
