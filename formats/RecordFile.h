// SPDX-License-Identifier: GPL-3.0-or-later
// The record file (.xbm source, "_.XBM" output): the beamline's own binary
// spectrum file, a straight little-endian dump of the header and the counts
// in use. 2070 + 4 x DataNumber bytes.
#pragma once

#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

inline constexpr std::size_t kRecordHeaderBytes = 2070;  // up to and including DataNumber

// The record a file's bytes give, filling `fresh`: a file error for a short
// file or a channel count outside 0..8192.
ReadResult RecordFileRecord(std::string_view bytes, SpectrumRecord& fresh);

// Reads the whole record from the file; not found for a missing or
// unreadable file. The record changes only when the read succeeds.
ReadResult ReadRecordFile(const std::string& path, SpectrumRecord& record);

// Writes the record, asking before replacing an existing file when the run
// settings say so. Atomic: on any failure the old file stays as it was.
bool WriteRecordFile(const std::string& path, const SpecData& data, const Header& header,
                     ConvertContext& context);

// The file's bytes, for writers that embed or compare them.
std::string RecordFileBytes(const SpecData& data, const Header& header);

}  // namespace vantor
