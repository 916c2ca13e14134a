// SPDX-License-Identifier: GPL-3.0-or-later
// Combine: several spectra of any source format summed channel by channel
// into one record, CSV or NPD file whose name the user chooses. The result
// carries the first file's header; only the counts, the real and live times
// are summed and the dead time is worked out again from the sums.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"
#include "series/SeriesOutcome.h"

namespace vantor {

// The selection text of the file list (names joined by ";") cut into its
// names, in order, empty texts included: "" gives one empty name.
std::vector<std::string> SplitSelection(std::string_view selection);


// True when no name holds anything but blanks.
bool SelectionIsEmpty(const std::vector<std::string>& names);

// Tells the user, and is true, when the output would replace one of the
// named files read (as the file system sees them: another spelling or a
// link is the same file), whatever the overwrite answers: a sum or table
// written over one of its own sources would lose it.
bool OutputReplacesSource(const std::string& outputPath, const std::string& folder,
                          const std::vector<std::string>& names, UserPrompt& prompt);

// The whole run behind "Combine Start": the selection check, the one
// question when per-file questions are off, the save dialog (opened on
// `folder`, proposing "CombineFileDefaultName"), the sum, and "Done" once
// the file was written.
SeriesOutcome RunCombine(const std::string& folder, const std::vector<std::string>& names, ConvertContext& context);

// Reads every named file, sums them and writes the sum to outputPath. A
// file of several spectra adds its live elements (a dead one, all counts
// 0, is left out, and the user told so). An output name that names no
// writer, a file that cannot be read and a count that overflows each stop
// the run with a message before anything is written.
SeriesOutcome CombineSelectedFiles(const std::string& folder, const std::vector<std::string>& names,
                                   const std::string& outputPath, ConvertContext& context);

// Adds the source's real and live times and its counts over the sum's
// channels into the sum. Channels are added in order; when a sum leaves the
// 32-bit range the run must stop: the result is that channel's number
// (index + 1), and the sum is then incomplete.
std::optional<int> AddSpectrum(const SpectrumRecord& source, SpectrumRecord& sum);


}  // namespace vantor
