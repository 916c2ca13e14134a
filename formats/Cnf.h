// SPDX-License-Identifier: GPL-3.0-or-later
// The analyser file (.cnf source): a binary multichannel-analyser file. Of
// the beamline's template only a few fixed places are used: 4096 channels of
// counts, the sample title and identifier, and three texts holding the
// pressure and temperature, the angle 2theta and the energy calibration.
// Analyser files of other layouts are read through their section table.
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
// kept: the beamline's template ends exactly there.
inline constexpr std::size_t kCnfBlockBytes = 41984;
// The most of a file that is read: analyser files of 8192 channels with all
// their sections stay far below it.
inline constexpr std::size_t kCnfMaxBytes = std::size_t{16} << 20;

// The record a file's bytes give, filling `fresh`. The template gives
// DataNumber 4096, the shifted counts, SampleTitle, SampleID, Operator
// (blanks), EGC, Pressure, Temperature and TwoTheta. Any other layout gives
// what its section table holds (formats/CnfSections.h), or a file error.
ReadResult CnfRecord(std::string_view bytes, SpectrumRecord& fresh);


}  // namespace vantor
