// SPDX-License-Identifier: GPL-3.0-or-later
// ANSI N42.42 spectra: the XML files of radiation detection instruments, in
// the 2006 schema (<N42InstrumentData>) and the 2011 one
// (<RadInstrumentData>). A file may hold many spectra (detectors, time
// slices); each becomes one record.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor {

// More spectra than this in one file are refused: each takes a whole record
// of about 35 KB, and 2048 of them are already about 72 MB.
inline constexpr std::size_t kN42MaxSpectra = 2048;

// Whether the file's first bytes (up to 4096; all of a shorter file) look
// like an N42 document: a root element <N42InstrumentData> or
// <RadInstrumentData>, with or without a prefix.
bool LooksLikeN42(std::string_view head);

// Every <Spectrum> with <ChannelData> of an N42 document, in document order,
// into `spectra` (cleared first). A file error, naming the line, when the
// XML is not well formed (a cut file included), the root is not N42's, no
// spectrum has channel data, a count or a time is not a number, any spectrum
// has more than 8192 channels, or there are more than kN42MaxSpectra
// spectra; `spectra` is then left empty.
ReadResult N42Spectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

}  // namespace vantor
