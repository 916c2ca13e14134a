// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli: the batch front end on the same core as the window.
#include <cstdio>
#include <map>

#include "cli/Commands.h"
#include "base/TextRoutines.h"
#include "base/Version.h"

namespace vantor::cli {

int UsageError(const std::string& text) {
  std::fprintf(stderr, "vantor-cli: %s\n", text.c_str());
  return kExitUsage;
}

std::optional<std::vector<double>> ParseNumberList(const std::string& text, std::size_t count) {
  std::vector<double> values;
  std::size_t start = 0;
  while (true) {
    const auto comma = text.find(',', start);
    const auto number = ParseNumber(std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!number) return std::nullopt;
    values.push_back(*number);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != count) return std::nullopt;
  return values;
}

std::optional<CsvParameters> ParseCsvParameters(const std::string& text) {
  const auto v = ParseNumberList(text, 5);
  if (!v) return std::nullopt;
  CsvParameters p;
  p.TwoTheta = (*v)[0];
  p.EGC = {(*v)[1], (*v)[2], (*v)[3]};
  p.Temperature = (*v)[4] - 273.15;  // entered in kelvin, kept in degrees Celsius
  return p;
}

}  // namespace vantor::cli

int main(int argc, char** argv) {
  using namespace vantor::cli;
  CLI::App app{"Vantor: convert, combine and tabulate energy-dispersive X-ray diffraction spectra"};
  app.require_subcommand(1);
  app.set_version_flag("--version",
                       "vantor-cli " + std::string(vantor::kVersion) + "\n" + std::string(vantor::kLicenceNotice));
  std::map<CLI::App*, Command> commands;
  const Command convert = AddConvertCommand(app);
  commands[app.get_subcommand("convert")] = convert;
  const Command combine = AddCombineCommand(app);
  commands[app.get_subcommand("combine")] = combine;
  const Command table = AddTableCommand(app);
  commands[app.get_subcommand("table")] = table;
  const Command show = AddShowCommand(app);
  commands[app.get_subcommand("show")] = show;
#ifdef VANTOR_WITH_PLOT
  const Command plot = AddPlotCommand(app);
  commands[app.get_subcommand("plot")] = plot;
#endif
  const Command watch = AddWatchCommand(app);
  commands[app.get_subcommand("watch")] = watch;
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help or --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  for (auto& [subcommand, run] : commands)
    if (subcommand->parsed()) return run();
  return kExitUsage;
}
