// SPDX-License-Identifier: GPL-3.0-or-later
// Converting one source file into one output file, and splitting the
// window's selection text into file names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ConvertContext.h"
#include "formats/FormatTable.h"

namespace vantor {

inline constexpr int kMaxSelectedNames = 10000;
inline constexpr std::string_view kTooManyFiles = "Too many Files! (Must be set less than 9999)";

// Source's drive, folder and name, then the output's suffix: run01.xbm gives
// run01.RPT ... run01_.XBM; the source's own extension is dropped.
std::string OutputPath(std::string_view sourcePath, OutputKind output);
// The same name in `folder` instead (beside the source when it is empty).
std::string OutputPath(std::string_view sourcePath, OutputKind output, std::string_view folder);

// Reads a source into a fresh record and applies what the run asks for: the
// entered parameters for CSV sources, else the EGC and 2Theta changes.
bool ReadSource(const std::string& sourcePath, SourceKind source, SpectrumRecord& record, ConvertContext& context);

// Writes the record as one output beside its source, or into the run's
// output folder.
bool WriteOutput(const std::string& sourcePath, OutputKind output, const SpectrumRecord& record,
                 ConvertContext& context);

// Names separated by "," or ";", untrimmed; -1 after "Too many Files! ..."
// when there are more than 10000.
int SplitFileList(std::string_view text, std::vector<std::string>& names, UserPrompt& prompt);

}  // namespace vantor
