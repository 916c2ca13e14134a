// SPDX-License-Identifier: GPL-3.0-or-later
// The GSAS standard powder-diffraction file (.GSA) that refinement programs
// read: a title line, a bank line and the counts ten to a line.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// Appends the GSA file's bytes to `out`.
void WriteGsaBody(std::string& out, const SpecData& data, const Header& header);

// The file's bytes, or why there are none (more than 8192 channels); the
// note says when the counts are written as tenths, hundredths, ...
Encoded EncodeGsa(const SpectrumRecord& record);

}  // namespace vantor
