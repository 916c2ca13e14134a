// SPDX-License-Identifier: GPL-3.0-or-later
// The EPICS multichannel-analyser text of the GSE/CARS beamlines (.med for
// multi-element detectors, .xrf, and .mca whose first line is "VERSION:"):
// one spectrum per detector element, in element order.
#pragma once

#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like this format: the first line is "VERSION:" and a value.
bool LooksLikeMed(std::string_view head);

// The spectra of a whole file's bytes, in element order, into `spectra`
// (cleared first). A file error with the line and a short reason when the
// bytes are not a complete, valid file; `spectra` is then left empty.
ReadResult MedSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
