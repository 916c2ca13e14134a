// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli convert --to KINDS [--from KIND] [-j N] [--quiet] [--out-dir DIR]
//                    [--files-from LIST] [--egc A,B,C] [--two-theta V [--absolute]]
//                    [--csv-params ...] [--force] FILE|FOLDER...
#include <memory>

#include "cli/Commands.h"
#include "cli/ConvertOptions.h"
#include "cli/ListedFiles.h"

namespace vantor::cli {
namespace {

struct ConvertCommandOptions : ConvertOptions {
  unsigned jobs = 0;
  std::string filesFrom;
  std::vector<std::string> files;
};

int RunConvertCommand(const ConvertCommandOptions& o) {
  std::string error;
  const auto files = ListedFiles::Open(o.files, o.filesFrom, o.from, error);
  if (!files) return UsageError(error);

  ConsolePrompt prompt(o.force, o.quiet);
  ConvertContext context(prompt);
  OutputChoice outputs{};
  if (const int status = PrepareRun(o, files->AnyCsv(), files->AnyOther(), prompt, context, outputs); status >= 0)
    return status;
  // Every question a file can raise is answered from the flags (No without
  // --force), so files can be converted side by side.
  const RunResult result = ConvertBatch(*files, outputs, context, BatchOptions{o.jobs, false});
  prompt.Line(Summary(result, o));
  return result.completed && result.written == result.requested ? kExitOk : kExitFailed;
}

}  // namespace

Command AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertCommandOptions>();
  CLI::App* cmd = app.add_subcommand("convert", "Convert spectra into the chosen output formats, beside each source");
  AddConvertOptions(*cmd, *options);
  cmd->add_option("--from", options->from,
                  "Source kind: xbm, cnf, csv, npd (default: each file's extension; needed for a folder)");
  cmd->add_option("-j,--jobs", options->jobs, "Files converted at the same time (default: every core)");
  cmd->add_option("--files-from", options->filesFrom, "Also convert the files listed in LIST, one a line (- : stdin)");
  cmd->add_option("FILE", options->files, "Source files, or folders (the files of --from's kind in them)");
  return [options] { return RunConvertCommand(*options); };
}

}  // namespace vantor::cli
