// SPDX-License-Identifier: GPL-3.0-or-later
// The options convert and watch share, and turning them into a run: the
// outputs, the changes, the CSV parameters and the output folder.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/ConsolePrompt.h"
#include "convert/ParallelConvert.h"

namespace vantor::cli {

struct ConvertOptions {
  std::string to;
  std::string from;
  std::string egc;
  std::string twoTheta;
  bool absolute = false;
  std::string csvParams;
  bool force = false;
  bool quiet = false;
  std::string outDir;
  std::string calibration;
};

void AddConvertOptions(CLI::App& cmd, ConvertOptions& options);

// A file to convert as --from says, else as its extension says; none, and
// the reason in `error`, when no source kind fits.
std::optional<SourceFile> SourceOf(const std::string& file, const std::string& from, std::string& error);

// Checks the options and readies the context for sources of these kinds:
// the outputs, the changes, the CSV parameters, the output folder (made
// when missing). Returns -1 when the run can start, else the exit status.
int PrepareRun(const ConvertOptions& o, bool anyCsv, bool anyOther, ConsolePrompt& prompt, ConvertContext& context,
               OutputChoice& outputs);

// The summary line, saying where the outputs went when --out-dir is given.
std::string Summary(const RunResult& result, const ConvertOptions& o);

}  // namespace vantor::cli
