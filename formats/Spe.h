// SPDX-License-Identifier: GPL-3.0-or-later
// The Ortec/IAEA SPE spectrum text (.spe): "$KEYWORD:" sections, one
// spectrum.
#pragma once

#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like this format: the first line is a "$KEYWORD:" line. A camera's binary
// .spe never starts so.
bool LooksLikeSpe(std::string_view head);

// The spectrum of a whole file's bytes into `spectra` (cleared first). A
// file error with the line and a short reason when the bytes are not a
// complete, valid file; `spectra` is then left empty.
ReadResult SpeSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
