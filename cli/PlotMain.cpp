// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli-plot: `vantor-cli plot` as a program of its own. Drawing needs
// Qt and its chart library, which cost every other command of vantor-cli
// about 15 MB of memory and the time to load them; vantor-cli runs this
// program with its own arguments ("plot ...") instead, so the command
// behaves, and answers --help, exactly as if it were built in.
#include <map>

#include "cli/Commands.h"

int main(int argc, char** argv) {
  using namespace vantor::cli;
  CLI::App app{"Vantor: convert, combine and tabulate energy-dispersive X-ray diffraction spectra"};
  app.require_subcommand(1);
  const Command plot = AddPlotCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  return plot();
}
