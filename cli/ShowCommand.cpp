// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli show [--json] [--calibration FILE] FILE...
#include <cstdio>
#include <memory>

#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "formats/FormatTable.h"
#include "formats/RecordReport.h"
#include "formats/SourceRead.h"

namespace vantor::cli {
namespace {

struct ShowOptions {
  bool json = false;
  std::string calibration;
  std::vector<std::string> files;
};

// A file that cannot be read is reported on stderr and left out; the others
// are still shown.
int RunShowCommand(const ShowOptions& o) {
  for (const auto& file : o.files)
    if (FindSources(SplitPath(file).extension).empty())
      return UsageError("cannot tell the source kind of '" + file + "' (" + SourceNames() + ")");
  RunSettings settings;
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, settings)) return kExitFailed;
  ConsolePrompt prompt(false);
  bool allRead = true;
  std::size_t shown = 0;
  if (o.json) PrintOut("[");
  for (const auto& file : o.files) {
    const SourceRead read = ReadSpectra(file, "", settings);
    if (!read.result) {
      ReportReadFailure(prompt, file, read.result);
      allRead = false;
      continue;
    }
    const std::size_t count = read.spectra.size();
    for (std::size_t k = 0; k < count; ++k) {
      for (const auto& note : read.spectra[k].notes) prompt.Note(file + ": " + note);
      const ShownSpectrum one{file, read.format->name, read.spectra[k].record, count > 1 ? k + 1 : 0,
                              read.spectra[k].extra};
      if (o.json)
        PrintOut((shown == 0 ? "\n" : ",\n") + SpectrumJson(one, 2));
      else
        PrintOut((shown == 0 ? "" : "\n") + SpectrumText(one));
      ++shown;
    }
  }
  if (o.json) PrintOut(shown == 0 ? "]\n" : "\n]\n");
  return allRead ? kExitOk : kExitFailed;
}

}  // namespace

Command AddShowCommand(CLI::App& app) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* cmd = app.add_subcommand("show", "Show the header and a summary of the counts of each spectrum");
  cmd->add_flag("--json", options->json, "Write a JSON array, one object per file");
  cmd->add_option("--calibration", options->calibration, "Apply this calibration file (from calibrate)");
  cmd->add_option("FILE", options->files, "Source files of any kind Vantor reads")->required();
  return [options] { return RunShowCommand(*options); };
}

}  // namespace vantor::cli
