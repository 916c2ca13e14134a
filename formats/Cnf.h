// The analyser file (.cnf source): a binary multichannel-analyser file of
// which only a few fixed places are used: 4096 channels of counts, the
// sample title and identifier, and three texts holding the pressure and
// temperature, the angle 2theta and the energy calibration.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Where the data blocks start when byte 11 of the file is 0xB6; 0 otherwise.
inline constexpr std::size_t kCnfShiftedBase = 4608;
// Bytes from the block base to the end of file channel 4094, the last one
// kept: the beamline's own files end exactly there.
inline constexpr std::size_t kCnfBlockBytes = 41984;

// The record a file's bytes give, filling `fresh`; a file error when the
// file ends before file channel 4094.
ReadResult CnfRecord(std::string_view bytes, SpectrumRecord& fresh);

// Fills DataNumber (4096), the counts, SampleTitle, SampleID, Operator
// (blanks), EGC, Pressure, Temperature and TwoTheta, starting from a fresh
// record. Not found for a missing or unreadable file; the record changes
// only when the read succeeds.
ReadResult ReadCnfFile(const std::string& path, SpectrumRecord& record);

}  // namespace vantor
