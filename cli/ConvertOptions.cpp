// SPDX-License-Identifier: GPL-3.0-or-later
// Options shared by convert and watch.
#include "cli/ConvertOptions.h"

#include <filesystem>

#include "base/TextRoutines.h"
#include "cli/Commands.h"

namespace vantor::cli {
namespace {

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
    outputs[static_cast<int>(format->kind)] = true;
    start = comma + 1;
  }
  return outputs;
}

int ReadyChanges(const ConvertOptions& o, ConvertRequest& request) {
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
  return -1;
}

}  // namespace

void AddConvertOptions(CLI::App& cmd, ConvertOptions& o) {
  cmd.add_option("--to", o.to, "Comma list of outputs: rpt, txt, csv, npd, gsa, xbm")->required();
  cmd.add_option("--egc", o.egc, "Replace the energy calibration: A,B,C (keV, keV/ch, keV/ch^2)");
  auto* twoTheta = cmd.add_option("--two-theta", o.twoTheta, "Change 2theta by V degrees (relative)");
  cmd.add_flag("--absolute", o.absolute, "Set 2theta to V instead of adding it")->needs(twoTheta);
  cmd.add_option("--csv-params", o.csvParams, "For CSV sources: TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
  cmd.add_flag("--force", o.force, "Replace existing outputs without asking");
  cmd.add_flag("-q,--quiet", o.quiet, "Only errors and the summary");
  cmd.add_option("--out-dir", o.outDir, "Write every output into this folder (made when missing)");
  cmd.add_option("--calibration", o.calibration, "Apply this calibration file (from calibrate) before the changes");
}

std::optional<SourceFile> SourceOf(const std::string& file, const std::string& from, std::string& error) {
  if (FindSources(from.empty() ? SplitPath(file).extension : from).empty()) {
    error = from.empty() ? "cannot tell the source kind of '" + file + "' (use --from: " + SourceNames() + ")"
                         : "unknown source kind '" + from + "' (" + SourceNames() + ")";
    return std::nullopt;
  }
  return SourceFile{file, from};
}

int PrepareRun(const ConvertOptions& o, bool anyCsv, bool anyOther, ConsolePrompt& prompt, ConvertContext& context,
               OutputChoice& outputs) {
  std::string error;
  const auto chosen = ParseOutputs(o.to, error);
  if (!chosen) return UsageError(error);
  outputs = *chosen;
  ConvertRequest request;
  if (const int status = ReadyChanges(o, request); status >= 0) return status;
  // The parameter entry's angle and calibration take the place of the
  // changes' values for the whole run, so the two cannot meet in one run.
  if (anyCsv && anyOther && (request.changeEGC || request.change2Theta))
    return UsageError("--egc and --two-theta cannot be used when CSV and other sources are converted together");
  if (anyCsv) {
    if (o.csvParams.empty()) return UsageError("CSV sources need --csv-params TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
    prompt.csvParameters = ParseCsvParameters(o.csvParams);
    if (!prompt.csvParameters) return UsageError("--csv-params takes five numbers TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
  }
  if (!o.outDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.outDir, ec);
    if (!std::filesystem::is_directory(o.outDir)) {
      prompt.FileMessage(o.outDir, "Open Error", ec ? ec.message() : "not a folder");
      return kExitFailed;
    }
    context.outputFolder = o.outDir;
  }
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, context.settings)) return kExitFailed;
  context.settings.OverWriteCheck = !o.force;
  if (!StoreChanges(request, context) || !CheckOutputsAndConfirm(outputs, context)) return kExitFailed;
  return -1;
}

std::string Summary(const RunResult& result, const ConvertOptions& o) {
  std::string text = SummaryText(result);
  if (!o.outDir.empty()) text += "; outputs in " + o.outDir;
  return text;
}

}  // namespace vantor::cli
