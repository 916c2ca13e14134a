// vantor-cli convert --to KINDS [--from KIND] [--egc A,B,C]
//                    [--two-theta V [--absolute]] [--csv-params ...] [--force] FILE...
#include <memory>

#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "convert/ConvertRun.h"
#include "formats/FormatTable.h"
#include "base/TextRoutines.h"

namespace vantor::cli {
namespace {

struct ConvertOptions {
  std::string to;
  std::string from;
  std::string egc;
  std::string twoTheta;
  bool absolute = false;
  std::string csvParams;
  bool force = false;
  std::vector<std::string> files;
};

std::optional<OutputChoice> ParseOutputs(const std::string& list, std::string& error) {
  OutputChoice outputs{};
  std::size_t start = 0;
  while (start <= list.size()) {
    const auto comma = std::min(list.find(',', start), list.size());
    const std::string name = list.substr(start, comma - start);
    const OutputFormat* format = FindOutput(name);
    if (format == nullptr) {
      error = "unknown output kind '" + name + "' (rpt, txt, csv, npd, gsa, xbm)";
      return std::nullopt;
    }
    if (format->write == nullptr) {
      error = "output kind '" + name + "' is not available in this build";
      return std::nullopt;
    }
    outputs[static_cast<int>(format->kind)] = true;
    start = comma + 1;
  }
  return outputs;
}

const SourceFormat* SourceOf(const std::string& file, const std::string& from, std::string& error) {
  const std::string name = from.empty() ? SplitPath(file).extension : from;
  const SourceFormat* format = FindSource(name);
  if (format == nullptr) {
    error = from.empty() ? "cannot tell the source kind of '" + file + "' (use --from xbm|cnf|csv|npd)"
                         : "unknown source kind '" + from + "' (xbm, cnf, csv, npd)";
  } else if (format->read == nullptr) {
    error = "source kind '" + std::string(format->name) + "' is not available in this build";
    format = nullptr;
  }
  return format;
}

int RunConvertCommand(const ConvertOptions& o) {
  std::string error;
  const auto outputs = ParseOutputs(o.to, error);
  if (!outputs) return UsageError(error);
  std::vector<SourceFile> files;
  bool anyCsv = false;
  bool anyOther = false;
  for (const auto& file : o.files) {
    const SourceFormat* format = SourceOf(file, o.from, error);
    if (format == nullptr) return UsageError(error);
    anyCsv = anyCsv || format->kind == SourceKind::Csv;
    anyOther = anyOther || format->kind != SourceKind::Csv;
    files.push_back({file, format->kind});
  }

  ConvertRequest request;
  request.changeEGC = !o.egc.empty();
  if (request.changeEGC) {
    const auto egc = ParseNumberList(o.egc, 3);
    if (!egc) return UsageError("--egc takes three numbers A,B,C");
    request.egc = {(*egc)[0], (*egc)[1], (*egc)[2]};
  }
  request.change2Theta = !o.twoTheta.empty();
  if (request.change2Theta) {
    request.twoTheta = ParseNumber(o.twoTheta);
    if (!request.twoTheta) return UsageError("--two-theta takes a number");
    request.twoThetaMode = o.absolute ? 1 : 0;
  }

  // The parameter entry's angle and calibration take the place of the
  // changes' values for the whole run, so the two cannot meet in one run.
  if (anyCsv && anyOther && (request.changeEGC || request.change2Theta))
    return UsageError("--egc and --two-theta cannot be used when CSV and other sources are converted together");

  ConsolePrompt prompt(o.force);
  if (anyCsv) {
    if (o.csvParams.empty()) return UsageError("CSV sources need --csv-params TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
    prompt.csvParameters = ParseCsvParameters(o.csvParams);
    if (!prompt.csvParameters) return UsageError("--csv-params takes five numbers TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
  }
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = !o.force;
  if (!StoreChanges(request, context) || !CheckOutputsAndConfirm(*outputs, context)) return kExitFailed;
  const RunResult result = ConvertFiles(files, *outputs, context);
  return result.completed && result.written == result.requested ? kExitOk : kExitFailed;
}

}  // namespace

Command AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand("convert", "Convert spectra into the chosen output formats, beside each source");
  cmd->add_option("--to", options->to, "Comma list of outputs: rpt, txt, csv, npd, gsa, xbm")->required();
  cmd->add_option("--from", options->from, "Source kind: xbm, cnf, csv, npd (default: each file's extension)");
  cmd->add_option("--egc", options->egc, "Replace the energy calibration: A,B,C (keV, keV/ch, keV/ch^2)");
  auto* twoTheta = cmd->add_option("--two-theta", options->twoTheta, "Change 2theta by V degrees (relative)");
  cmd->add_flag("--absolute", options->absolute, "Set 2theta to V instead of adding it")->needs(twoTheta);
  cmd->add_option("--csv-params", options->csvParams,
                  "For CSV sources: TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
  cmd->add_flag("--force", options->force, "Replace existing outputs without asking");
  cmd->add_option("FILE", options->files, "Source files")->required();
  return [options] { return RunConvertCommand(*options); };
}

}  // namespace vantor::cli
