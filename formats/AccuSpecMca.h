// SPDX-License-Identifier: GPL-3.0-or-later
// Canberra AccuSpec spectra (.mca): a binary file of one spectrum written in
// the word order of the PDP-11 the analyser software ran on.
#pragma once

#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like an AccuSpec file: the fixed header words that the format's other
// readers check. The text .mca files (EPICS "VERSION:", Amptek
// "<<PMCA SPECTRUM>>") never have them.
bool LooksLikeAccuSpecMca(std::string_view head);

// The one spectrum of an AccuSpec file's bytes into `spectra` (cleared
// first). A file error when the header is not AccuSpec's, the channel count
// is 0 or above 8192, or the counts are cut short; `spectra` is then left
// empty.
ReadResult AccuSpecMcaSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
