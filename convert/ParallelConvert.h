// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a batch of files, one after another or several at once. Side
// by side, each file's messages and questions are kept and replayed in file
// order, so the user sees exactly what a run one file at a time would show;
// files whose paths meet (one writes what another reads or writes) are never
// converted at the same time. Memory stays flat: only a bounded window of
// files past the last one reported is ever held.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "convert/ConvertRun.h"

namespace vantor {

struct BatchOptions {
  // Files converted at the same time; 0: one per core of the machine. With 1
  // every question goes to the prompt when it arises, as in the window.
  unsigned jobs = 1;
  // Side by side a question cannot wait for the user: every "Replace?"
  // question gets this answer (shown to the prompt in file order).
  bool replaceAnswer = false;
};

// The files of a batch in list order, handed out one at a time, so that a
// list of any length need not be held in memory.
class FileFeed {
 public:
  virtual ~FileFeed() = default;
  // How many files Next gives (the "count" of the progress "n/count").
  virtual std::size_t Count() const = 0;
  // Whether any of them is a CSV source.
  virtual bool AnyCsv() const = 0;
  // The next file; no value after the last.
  virtual std::optional<SourceFile> Next() = 0;
  // Starts again at the first file: the batch looks at every file's paths
  // before it converts any.
  virtual void Rewind() = 0;
};

// The parameter entry when any source is a CSV file, every file into every
// chosen output with "n/count" after each file, "Finished" and "Convert
// Finished". Before anything is written, a file with an output that would
// replace a source of the batch or that an earlier file writes is refused
// (OutputClaims): it fails with the reason and writes nothing. The result
// counts outputs and files.
RunResult ConvertBatch(FileFeed& files, const OutputChoice& outputs, ConvertContext& context,
                       const BatchOptions& options);
RunResult ConvertBatch(const std::vector<SourceFile>& files, const OutputChoice& outputs, ConvertContext& context,
                       const BatchOptions& options);

// One file after another, "n/count" after each, the outcomes added to
// `result`; false when the user stopped the run between files.
bool ConvertInTurn(const std::vector<SourceFile>& files, const OutputChoice& outputs, ConvertContext& context,
                   RunResult& result);

// One file into every chosen output, its outcome added to `total`.
void ConvertOneFile(const SourceFile& file, const OutputChoice& outputs, ConvertContext& context, RunResult& total);

// "1000 files: 997 converted, 2 failed, 1 skipped"
std::string SummaryText(const RunResult& result);

// Every source and output path of a file, made absolute from `workingFolder`
// and case-folded: two files whose keys meet must not be converted at the
// same time. `outputFolder` as in the run's context.
std::vector<std::string> PathKeys(const SourceFile& file, const OutputChoice& outputs, const std::string& outputFolder,
                                  const std::string& workingFolder);

}  // namespace vantor
