// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli table -o OUT [--force] [--from npd] [--files-from LIST] FILE|FOLDER...
#include <memory>

#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "series/File3D.h"

namespace vantor::cli {
namespace {

struct TableOptions {
  std::string output;
  bool force = false;
  std::string from = "npd";
  std::string filesFrom;
  std::vector<std::string> files;
};

int RunTableCommand(const TableOptions& o) {
  std::string error;
  if (!EqualsIgnoreCase(o.from, "npd")) return UsageError("table reads NPD files only (--from npd)");
  const auto files = CollectFiles(o.files, o.filesFrom, o.from, error);
  if (!files) return UsageError(error);
  ConsolePrompt prompt(o.force);
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = !o.force;
  prompt.saveName = o.output;
  return Run3DData("", *files, context) ? kExitOk : kExitFailed;
}

}  // namespace

Command AddTableCommand(CLI::App& app) {
  auto options = std::make_shared<TableOptions>();
  CLI::App* cmd = app.add_subcommand("table", "Lay NPD spectra side by side in one CSV table (3D Data)");
  cmd->add_option("-o,--output", options->output, "Output table; its extension becomes .csv")->required();
  cmd->add_flag("--force", options->force, "Replace an existing table without asking");
  cmd->add_option("--from", options->from, "For a folder: the kind of its files (npd, the default)");
  cmd->add_option("--files-from", options->filesFrom, "Also take the files listed in LIST, one a line (- : stdin)");
  cmd->add_option("FILE", options->files, "NPD files or folders, one column a file, in this order");
  return [options] { return RunTableCommand(*options); };
}

}  // namespace vantor::cli
