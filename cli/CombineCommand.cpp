// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli combine -o OUT [--force] [--csv-params TWOTHETA,EGC0,EGC1,EGC2,KELVIN]
//                    [--from KIND] [--files-from LIST] FILE|FOLDER...
#include <memory>

#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "series/FileCombine.h"

namespace vantor::cli {
namespace {

struct CombineOptions {
  std::string output;
  std::string csvParams;
  bool force = false;
  std::string from;
  std::string filesFrom;
  std::vector<std::string> files;
};

int RunCombineCommand(const CombineOptions& o) {
  std::string error;
  const auto files = CollectFiles(o.files, o.filesFrom, o.from, error);
  if (!files) return UsageError(error);
  ConsolePrompt prompt(o.force);
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = !o.force;
  // The window gives CSV sources the values last entered (0 when none); on
  // the command line they are entered here.
  if (!o.csvParams.empty()) {
    const auto entered = ParseCsvParameters(o.csvParams);
    if (!entered) return UsageError("--csv-params takes five numbers TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
    context.settings.csv = *entered;
  }
  prompt.saveName = o.output;
  return RunCombine("", *files, context) ? kExitOk : kExitFailed;
}

}  // namespace

Command AddCombineCommand(CLI::App& app) {
  auto options = std::make_shared<CombineOptions>();
  CLI::App* cmd = app.add_subcommand("combine", "Sum spectra channel by channel into one xbm, csv or npd file");
  cmd->add_option("-o,--output", options->output, "Output file; its extension (xbm, csv, npd) sets the format")
      ->required();
  cmd->add_option("--csv-params", options->csvParams,
                  "For CSV sources: TWOTHETA,EGC0,EGC1,EGC2,KELVIN (default all 0, 273.15 K)");
  cmd->add_flag("--force", options->force, "Replace an existing output without asking");
  cmd->add_option("--from", options->from, "For a folder: the kind of its files to sum (xbm, cnf, csv, npd)");
  cmd->add_option("--files-from", options->filesFrom, "Also sum the files listed in LIST, one a line (- : stdin)");
  cmd->add_option("FILE", options->files, "Source files or folders; the first file gives the header");
  return [options] { return RunCombineCommand(*options); };
}

}  // namespace vantor::cli
