// SPDX-License-Identifier: GPL-3.0-or-later
// The record file (.xbm source, "_.XBM" output): the beamline's own binary
// spectrum file, a straight little-endian dump of the header and the counts
// in use. 2070 + 4 x DataNumber bytes.
#pragma once

#include <string>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

inline constexpr std::size_t kRecordHeaderBytes = 2070;  // up to and including DataNumber
// What a reader takes of a file: the largest record and one byte more, so
// that a longer file shows it is longer.
inline constexpr std::size_t kRecordFileBytesRead = kRecordHeaderBytes + 4 * kMaxChannels + 1;

// The record a file's bytes give, filling `fresh`: a file error for a short
// file or a channel count outside 0..8192.
ReadResult RecordFileRecord(std::string_view bytes, SpectrumRecord& fresh);

// The file's bytes.
Encoded EncodeRecordFile(const SpectrumRecord& record);

// The file's bytes, for writers that embed or compare them.
std::string RecordFileBytes(const SpecData& data, const Header& header);

}  // namespace vantor
