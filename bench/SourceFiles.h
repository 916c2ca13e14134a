// SPDX-License-Identifier: GPL-3.0-or-later
// Example source files in the three formats the beamline receives from other
// programs: the analyser file (.cnf), the analyser export (.csv) and the
// profile file (.npd), each built from a generated spectrum record. Used for
// samples/ and for exercising the readers on realistic sizes.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"

namespace vantor::bench {

// The beamline's template, 41 984 bytes with layout byte 0xA4, and a genuine
// analyser file: its section table names a parameter section (4096
// channels, the calibration, start date, real and live time), a sample
// section holding the template's texts, and a data section from byte 25 088
// whose count k is Count[k]. The calibration is rounded to the analyser's
// single precision and written the same in the block and in the text.
std::string CnfFileBytes(const SpectrumRecord& record);

// The analyser export: header lines, then a label and ten counts a line.
std::string CsvSourceText(const SpectrumRecord& record);

// The profile file as the NPD output writes it.
std::string NpdFileText(const SpectrumRecord& record);

}  // namespace vantor::bench
