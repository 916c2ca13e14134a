// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a source file is read, for every part of the program: by the
// kind given (a --from name) or else by its extension, the file's content
// deciding where an extension is shared; then what the run asks for, in
// one place: the entered parameters for analyser exports, the calibration
// and 2theta changes for every other source, and a calibration file's
// values, element by element, for every source (before the changes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/RunSettings.h"
#include "base/SourceSpectrum.h"
#include "formats/FormatTable.h"

namespace vantor {

struct SourceRead {
  ReadResult result;
  const SourceFormat* format = nullptr;  // what the file was read as; null when no format fits
  std::vector<SourceSpectrum> spectra;   // one per spectrum the file holds, in its order; empty on failure
};

// `kind`: a name or extension ("xbm", "mca"); empty: the file's extension.
// Not found for a missing or unreadable file; a file error when no format
// of the kind takes its bytes or they do not parse; a refused change when
// the 2theta change would leave a spectrum's angle at or below 0 (a change
// that leaves the angle as it was is none).
SourceRead ReadSpectra(const std::string& path, std::string_view kind, const RunSettings& settings);

// A calibration file's values for detector element `element`
// (CalibrationElement) in place of the spectrum's own; a note on the
// spectrum when it has none for that element. ReadSpectra applies it to
// every spectrum it reads when the settings carry a calibration.
void ApplyCalibration(const CalibrationValues& calibration, std::size_t element, SourceSpectrum& spectrum);

// "COSI.med:3": a file and one of its spectra (1-based), as `plot` and the
// viewer take them; a name that exists as a file is a file, whatever it
// ends in.
struct ElementPath {
  std::string path;
  std::size_t element = 0;  // 0: every spectrum of the file
};
ElementPath SplitElement(const std::string& argument);

// The spectra of bytes already at hand, as ReadSpectra would give them.
SourceRead ReadSpectraOf(std::string_view bytes, const std::vector<const SourceFormat*>& formats,
                         const RunSettings& settings);

}  // namespace vantor
