// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli plot FILE... -o OUT.png|OUT.svg [--x channel|energy|d] [--log]
//                 [--size WxH] [--csv-params ...] [--calibration FILE]
// Compiled only with the chart library (see CMakeLists.txt).
#include <memory>

#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "view/ChartPicture.h"

namespace vantor::cli {
namespace {

struct PlotOptions {
  std::string output;
  std::string axis = "channel";
  bool log = false;
  std::string size = "1200x800";
  std::string csvParams;
  std::string calibration;
  std::vector<std::string> files;
};

// "WxH", each side 16..16384 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  const auto w = ParseNumber(std::string_view(text).substr(0, x));
  const auto h = ParseNumber(std::string_view(text).substr(x + 1));
  const auto side = [](const std::optional<double>& v) { return v && *v >= 16 && *v <= 16384 && *v == int(*v); };
  if (!side(w) || !side(h)) return false;
  width = int(*w);
  height = int(*h);
  return true;
}

int RunPlotCommand(const PlotOptions& o) {
  view::PlotRequest request;
  request.files = o.files;
  request.output = o.output;
  request.log = o.log;
  request.axis = o.axis == "energy" ? ChartAxis::Energy : o.axis == "d" ? ChartAxis::DSpacing : ChartAxis::Channel;
  if (!ParseSize(o.size, request.width, request.height))
    return UsageError("--size takes WIDTHxHEIGHT in pixels, 16 to 16384 each (1200x800)");
  const std::string extension = SplitPath(o.output).extension;
  if (!EqualsIgnoreCase(extension, "png") && !EqualsIgnoreCase(extension, "svg"))
    return UsageError("the output's name must end in .png or .svg");
  ConsolePrompt prompt(false);
  ConvertContext context(prompt);
  if (!o.csvParams.empty()) {
    const auto entered = ParseCsvParameters(o.csvParams);
    if (!entered) return UsageError("--csv-params takes five numbers TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
    context.settings.csv = *entered;
  }
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, context.settings)) return kExitFailed;
  const view::PlotResult result = view::PlotFiles(request, context);
  return result.complete ? kExitOk : kExitFailed;
}

}  // namespace

Command AddPlotCommand(CLI::App& app) {
  auto options = std::make_shared<PlotOptions>();
  CLI::App* cmd = app.add_subcommand("plot", kPlotSummary);
  cmd->add_option("-o,--output", options->output, "The picture: OUT.png or OUT.svg")->required();
  cmd->add_option("--x", options->axis, "The x axis: channel, energy (keV) or d (angstrom)")
      ->check(CLI::IsMember({"channel", "energy", "d"}))
      ->capture_default_str();
  cmd->add_flag("--log", options->log, "Log counts (zero counts drawn at the axis floor)");
  cmd->add_option("--size", options->size, "Picture size WIDTHxHEIGHT in pixels")->capture_default_str();
  cmd->add_option("--csv-params", options->csvParams,
                  "For CSV sources, which carry no calibration: TWOTHETA,EGC0,EGC1,EGC2,KELVIN");
  cmd->add_option("--calibration", options->calibration, "Apply this calibration file (from calibrate)");
  cmd->add_option("FILE", options->files, "Source files (xbm, cnf, csv, npd), drawn over one another")->required();
  return [options] { return RunPlotCommand(*options); };
}

}  // namespace vantor::cli
