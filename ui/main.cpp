// SPDX-License-Identifier: GPL-3.0-or-later
// Vantor: the window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "base/Version.h"
#include "ui/SeriesWindow.h"
#include "ui/WindowArguments.h"
#include "ui/WindowStart.h"

namespace {

// --version and --help answer on the terminal before Qt starts, so they work
// without a display (the manual page is made from them). Every other argument
// is left to Qt and the window.
bool AnsweredInfoOption(int argc, char* argv[]) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("vantor %.*s\n%.*s\n", static_cast<int>(vantor::kVersion.size()), vantor::kVersion.data(),
                  static_cast<int>(vantor::kLicenceNotice.size()), vantor::kLicenceNotice.data());
      return true;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf(
          "Usage: vantor [OPTION]... [FILE]...\n"
          "Open the Vantor window to convert, combine and tabulate energy-dispersive\n"
          "X-ray diffraction spectra; with FILEs (FILE:K for element K of a file of\n"
          "several), show them in the spectrum viewer. For batch work see\n"
          "vantor-cli --help.\n"
          "\n"
          "%s"
          "  --help                     show this help and exit\n"
          "  --version                  show the version and licence and exit\n"
          "\n"
          "Examples:\n"
          "  vantor --peaks run7.med\n"
          "  vantor --pressure mgo COSI_022_0019.med\n"
          "  QT_QPA_PLATFORM=offscreen vantor --screenshot peaks.png --peaks run7.med\n",
          vantor::ui::WindowOptionsHelp());
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AnsweredInfoOption(argc, argv)) return 0;
  QApplication app(argc, argv);
  // One look on every platform, and one that honours the light blue faces of
  // the push buttons.
  QApplication::setStyle("Fusion");
  const vantor::ui::WindowArguments arguments = vantor::ui::ParseWindowArguments(QApplication::arguments().mid(1));
  if (!arguments.ok()) {
    std::fprintf(stderr, "vantor: %s\n", qPrintable(arguments.error));
    return 2;
  }
  if (!arguments.series.isEmpty()) return vantor::ui::RunSeriesWindow(arguments);
  return vantor::ui::RunWindow(arguments);
}
