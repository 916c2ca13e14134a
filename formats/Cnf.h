// The analyser file (.cnf source): a binary multichannel-analyser file of
// which only a few fixed places are used: 4096 channels of counts, the
// sample title and identifier, and three texts holding the pressure and
// temperature, the angle 2theta and the energy calibration.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Where the data blocks start when byte 11 of the file is 0xB6; 0 otherwise.
inline constexpr std::size_t kCnfShiftedBase = 4608;
// Bytes from the block base to the end of file channel 4094, the last one
// kept: the beamline's own files end exactly there.
inline constexpr std::size_t kCnfBlockBytes = 41984;

// The record a file's bytes give, from a fresh one; no value when the file
// ends before file channel 4094.
std::optional<SpectrumRecord> CnfRecord(std::string_view bytes);

// Fills DataNumber (4096), the counts, SampleTitle, SampleID, Operator
// (blanks), EGC, Pressure, Temperature and TwoTheta, starting from a fresh
// record. "Fine NotFound" for a missing or unreadable file, "File Error" for
// a file that ends before file channel 4094; false in both cases, and the
// caller's record is left alone.
bool ReadCnfFile(const std::string& path, SpecData& data, Header& header, ConvertContext& context);

}  // namespace vantor
