// vantor-cli table -o OUT [--force] FILE...
#include <memory>

#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "series/File3D.h"

namespace vantor::cli {
namespace {

struct TableOptions {
  std::string output;
  bool force = false;
  std::vector<std::string> files;
};

int RunTableCommand(const TableOptions& o) {
  ConsolePrompt prompt(o.force);
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = !o.force;
  prompt.saveName = o.output;
  return Run3DData("", o.files, context) ? kExitOk : kExitFailed;
}

}  // namespace

Command AddTableCommand(CLI::App& app) {
  auto options = std::make_shared<TableOptions>();
  CLI::App* cmd = app.add_subcommand("table", "Lay NPD spectra side by side in one CSV table (3D Data)");
  cmd->add_option("-o,--output", options->output, "Output table; its extension becomes .csv")->required();
  cmd->add_flag("--force", options->force, "Replace an existing table without asking");
  cmd->add_option("FILE", options->files, "NPD files, one column each, in this order")->required();
  return [options] { return RunTableCommand(*options); };
}

}  // namespace vantor::cli
