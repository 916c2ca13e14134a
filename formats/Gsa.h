// SPDX-License-Identifier: GPL-3.0-or-later
// The GSAS standard powder-diffraction file (.GSA) that refinement programs
// read: a title line, a bank line and the counts ten to a line.
#pragma once

#include <string>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Appends the GSA file's bytes to `out`.
void WriteGsaBody(std::string& out, const SpecData& data, const Header& header);

// Writes the GSA file to `path`; false when the user keeps an existing file
// or the file cannot be written ("Open Error"). Scaled values are announced
// with a note ("run7.GSA: counts written as hundredths"), which the window
// leaves unshown.
bool WriteGsaFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
