// SPDX-License-Identifier: GPL-3.0-or-later
// Vantor: the window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "base/Version.h"
#include "ui/QtUserPrompt.h"
#include "ui/SeriesWindow.h"
#include "ui/SpectrumViewer.h"
#include "ui/frmVantor.h"

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
          "X-ray diffraction spectra; with FILEs, show them in the spectrum viewer.\n"
          "For batch work see vantor-cli --help.\n"
          "\n"
          "  --series FOLDER  chart the pressure, temperature and press load of the\n"
          "             folder's spectra against time, and keep watching it\n"
          "  --pressure NAME[:SCALE]  its standard and scale (vantor-cli pressure --help)\n"
          "  --guess-pressure GPA  look for the standard's peaks near this pressure\n"
          "  --screenshot OUT.png  save the series window's picture once loaded, and exit\n"
          "  --help     show this help and exit\n"
          "  --version  show the version and licence and exit\n");
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
  if (QApplication::arguments().contains("--series")) return vantor::ui::RunSeriesWindow(QApplication::arguments());
  // `vantor FILE...` shows the files in the spectrum viewer.
  if (const QStringList files = QApplication::arguments().mid(1); !files.isEmpty()) {
    vantor::ui::QtUserPrompt prompt(nullptr, nullptr);
    vantor::ConvertContext context(prompt);
    if (vantor::ui::OpenViewer(files, context) == nullptr) return 1;
    return QApplication::exec();
  }
  vantor::ui::frmVantor window;
  window.show();
  return QApplication::exec();
}
