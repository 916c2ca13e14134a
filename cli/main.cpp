// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli: the batch front end on the same core as the window.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "base/Version.h"
#include "cli/Commands.h"

#ifdef VANTOR_PLOT_PROGRAM
namespace {

// `plot` is the program vantor-cli-plot (see PlotMain.cpp), found beside
// this one in the build tree, else where the install puts it relative to
// the folder of programs. It replaces this process, so its output, exit
// status and --help are those of the command.
int RunPlotProgram(char** argv) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  const fs::path folder = ec ? fs::path(argv[0]).parent_path() : self.parent_path();
  for (const fs::path& program :
       {folder / VANTOR_PLOT_PROGRAM, folder / VANTOR_PLOT_FROM_BINDIR / VANTOR_PLOT_PROGRAM}) {
    ::execv(program.c_str(), argv);
    if (errno != ENOENT) break;
  }
  std::fprintf(stderr, "vantor-cli: plot: cannot run " VANTOR_PLOT_PROGRAM ": %s\n", std::strerror(errno));
  return vantor::cli::kExitFailed;
}

}  // namespace
#endif

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
#ifdef VANTOR_PLOT_PROGRAM
  if (argc > 1 && std::strcmp(argv[1], "plot") == 0) return RunPlotProgram(argv);
  // Listed in the help; run by the program above.
  app.add_subcommand("plot", kPlotSummary);
#endif
  const Command watch = AddWatchCommand(app);
  commands[app.get_subcommand("watch")] = watch;
  commands[app.get_subcommand("pressure")] = AddPressureCommand(app);
  const Command peaks = AddPeaksCommand(app);
  commands[app.get_subcommand("peaks")] = peaks;
  const Command calibrate = AddCalibrateCommand(app);
  commands[app.get_subcommand("calibrate")] = calibrate;
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
