// SPDX-License-Identifier: GPL-3.0-or-later
// The names of a conversion's outputs, and splitting the window's
// selection text into file names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ConvertContext.h"
#include "formats/FormatTable.h"

namespace vantor {

inline constexpr int kMaxSelectedNames = 10000;
inline constexpr std::string_view kTooManyFiles = "Too many Files! (Must be set less than 9999)";

// Source's drive, folder and name, the element tag, then the output's
// suffix: run01.xbm gives run01.RPT ... run01_.XBM, the source's own
// extension dropped; element 3 of ten of COSI.med gives COSI_e03.RPT. In
// `folder` when one is given, else beside the source.
std::string OutputPath(std::string_view sourcePath, OutputKind output, std::string_view folder = {},
                       std::string_view tag = {});

// "_e03" for spectrum index 2 of 10: as many digits as the count needs, so
// that names sort in element order; empty for a file of one spectrum.
std::string ElementTag(std::size_t index, std::size_t count);

// Names separated by "," or ";", untrimmed; -1 after "Too many Files! ..."
// when there are more than 10000.
int SplitFileList(std::string_view text, std::vector<std::string>& names, UserPrompt& prompt);

}  // namespace vantor
