// SPDX-License-Identifier: GPL-3.0-or-later
// 3D Data: a series of NPD spectra laid side by side in one comma-separated
// table, one row per channel with its energy and d-spacing and one column of
// counts per file:
//   Channel, Energy,d Value,a,b          (CR LF after every line)
//    1 ,0.309,460.041,12,30              (4096 rows, channels 1..4096)
// Energies use the linear part of the last file's calibration only; the
// d-spacing uses the last file's angle 2theta.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"
#include "series/SeriesOutcome.h"

namespace vantor {

inline constexpr int kTableRows = 4096;

// The whole run behind "3D Data": the selection check, the save dialog
// (opened on `folder`, proposing "3DFileDefaultName"), the table, and
// "Done" once it was written.
SeriesOutcome Run3DData(const std::string& folder, const std::vector<std::string>& names, ConvertContext& context);

// The chosen name with its file name's extension replaced by ".csv" (a name
// without one gets ".csv" appended); dots in folder names do not count.
std::string TableOutputPath(std::string_view chosenName);

// The column heading of a selected file: its file name up to the first ".".
std::string ColumnHeading(std::string_view name);

// Reads every named file with the NPD reader and writes the table to
// outputPath, asking before replacing it when per-file questions are on.
// A file that cannot be read stops the run with "File Error: " + its name
// before anything is written.
SeriesOutcome Write3DTable(const std::string& folder, const std::vector<std::string>& names,
                           const std::string& outputPath, ConvertContext& context);

// The table's text. `counts` holds kTableRows counts per name, file after
// file; the calibration and angle are taken from `last`.
std::string TableText(const std::vector<std::string>& names, std::span<const std::int32_t> counts,
                      const MeasureCondition& last);

}  // namespace vantor
