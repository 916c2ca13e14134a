// SPDX-License-Identifier: GPL-3.0-or-later
// Which files of a run must be refused before anything is written: those
// with an output that would replace a source of the run (their own, when
// export.CSV would give export.CSV), and those with an output that an
// earlier file of the run writes already (day1/run1.xbm and day2/run1.xbm
// into one output folder). The first file in run order keeps its outputs;
// a refused file writes none of its outputs, whatever the overwrite
// answers. Paths are compared as the file system sees them (PathIdentity),
// and the run's file list is never held whole: the check works through
// sorted lines in bounded memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/LineSorter.h"
#include "base/PathIdentity.h"
#include "convert/ConvertRun.h"

namespace vantor {

// An output a file claims before it is read.
struct ClaimedOutput {
  const OutputFormat* format;
  std::string path;
};
// Its outputs beside it or in `outputFolder`; a file of a format that may
// hold several spectra names its outputs by element, and how many it holds
// is known only once it is read, so it claims its plain outputs and all its
// elements' together ("run7_e*.TXT").
std::vector<ClaimedOutput> ClaimedOutputs(const SourceFile& file, const OutputChoice& outputs,
                                          const std::string& outputFolder);

// "its CSV output would replace this source", or "... would replace
// run01_.XBM, a source of this run" when `source` names another file.
std::string ReplacesSourceText(std::string_view kindName, const std::string* source = nullptr);
// "all/run1.TXT is also the output of day1/run1.xbm"
std::string AlsoOutputText(const std::string& output, const std::string& firstSource);

class OutputClaims {
 public:
  // `memoryBytes`: about what the check holds at once, beyond which it
  // works through temporary files.
  explicit OutputClaims(std::size_t memoryBytes = std::size_t{1} << 20)
      : claims_(memoryBytes), refusals_(memoryBytes) {}

  // Every file of the run, in run order (index 0, 1, ...), with the outputs
  // chosen and the run's output folder (empty: beside each source).
  bool Add(std::size_t index, const SourceFile& file, const OutputChoice& outputs, const std::string& outputFolder,
           std::string* why = nullptr);
  // Ends adding and works out the refusals.
  bool Finish(std::string* why = nullptr);
  // Why the file of this index must not be converted ("all/run1.TXT is also
  // the output of day1/run1.xbm"); none when it may. Asked in index order.
  std::optional<std::string> Refusal(std::size_t index);

 private:
  PathIdentity identity_;
  LineSorter claims_;
  LineSorter refusals_;
  std::optional<std::string> nextRefusal_;  // the next line of refusals_, not yet asked for
  bool started_ = false;
};

}  // namespace vantor
