// Example source files in the three formats the beamline receives from other
// programs: the analyser file (.cnf), the analyser export (.csv) and the
// profile file (.npd), each built from a generated spectrum record. Used for
// samples/ and for exercising the readers on realistic sizes.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"

namespace vantor::bench {

// 41 984 bytes, layout byte 0xA4, ending after file channel 4094 as the
// beamline's files do; file channel k holds Count[k].
std::string CnfFileBytes(const SpectrumRecord& record);

// The analyser export: header lines, then a label and ten counts a line.
std::string CsvSourceText(const SpectrumRecord& record);

// The profile file as the NPD output writes it.
std::string NpdFileText(const SpectrumRecord& record);

}  // namespace vantor::bench
