// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli show [--json] FILE...
#include <cstdio>
#include <memory>

#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "formats/FormatTable.h"
#include "formats/RecordReport.h"
#include "series/FileCombine.h"

namespace vantor::cli {
namespace {

struct ShowOptions {
  bool json = false;
  std::vector<std::string> files;
};

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// A file that cannot be read is reported on stderr and left out; the others
// are still shown.
int RunShowCommand(const ShowOptions& o) {
  std::vector<const SourceFormat*> formats;
  for (const auto& file : o.files) {
    const SourceFormat* format = FindSource(SplitPath(file).extension);
    if (format == nullptr || format->read == nullptr)
      return UsageError("cannot tell the source kind of '" + file + "' (xbm, cnf, csv, npd)");
    formats.push_back(format);
  }
  ConsolePrompt prompt(false);
  ConvertContext context(prompt);
  auto record = std::make_unique<SpectrumRecord>();
  bool allRead = true;
  std::size_t shown = 0;
  if (o.json) Print("[");
  for (std::size_t i = 0; i < o.files.size(); ++i) {
    if (!ReadSourceByExtension(o.files[i], *record, context)) {
      allRead = false;
      continue;
    }
    const std::string_view kind = formats[i]->name;
    if (o.json)
      Print((shown == 0 ? "\n" : ",\n") + SpectrumJson(o.files[i], kind, *record, 2));
    else
      Print((shown == 0 ? "" : "\n") + SpectrumText(o.files[i], kind, *record));
    ++shown;
  }
  if (o.json) Print(shown == 0 ? "]\n" : "\n]\n");
  return allRead ? kExitOk : kExitFailed;
}

}  // namespace

Command AddShowCommand(CLI::App& app) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* cmd = app.add_subcommand("show", "Show the header and a summary of the counts of each spectrum");
  cmd->add_flag("--json", options->json, "Write a JSON array, one object per file");
  cmd->add_option("FILE", options->files, "Source files (xbm, cnf, csv, npd)")->required();
  return [options] { return RunShowCommand(*options); };
}

}  // namespace vantor::cli
