// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowArguments.h"

namespace vantor::ui {
namespace {

// The options that take a value, and where it goes.
QString* ValueOf(WindowArguments& a, const QString& option) {
  if (option == "--pressure") return &a.pressure;
  if (option == "--temperature") return &a.temperature;
  if (option == "--guess-pressure") return &a.guessPressure;
  if (option == "--x") return &a.axis;
  if (option == "--calibration") return &a.calibration;
  if (option == "--zoom") return &a.zoom;
  if (option == "--calibrate-energy") return &a.energyLines;
  if (option == "--calibrate-two-theta") return &a.twoThetaStandard;
  if (option == "--screenshot") return &a.screenshot;
  if (option == "--series") return &a.series;
  return nullptr;
}

QString Checked(WindowArguments& a) {
  if (!a.axis.isEmpty() && a.axis != "channel" && a.axis != "energy" && a.axis != "d")
    return "--x takes channel, energy or d";
  if (a.minSnr && !(*a.minSnr > 0)) return "--min-snr must be above 0";
  if (!a.zoom.isEmpty()) {
    bool low = false, high = false;
    const double x1 = a.zoom.section(':', 0, 0).toDouble(&low), x2 = a.zoom.section(':', 1).toDouble(&high);
    if (!low || !high || !(x1 < x2)) return "--zoom takes X1:X2 on the x axis, low to high";
    a.zoomRange = std::pair{x1, x2};
  }
  if (!a.screenshot.isEmpty() && !a.screenshot.endsWith(".png", Qt::CaseInsensitive))
    return "--screenshot writes a PNG picture: give a name ending in .png";
  if (!a.series.isEmpty()) {
    // The series view takes a standard, a guessed pressure and a picture.
    const bool viewerOnly = !a.calibration.isEmpty() || a.peaks || !a.energyLines.isEmpty() ||
                            !a.twoThetaStandard.isEmpty() || !a.temperature.isEmpty();
    if (!a.files.isEmpty() || viewerOnly)
      return "--series takes a folder, --pressure, --guess-pressure and --screenshot only";
    return {};
  }
  const bool analysis = !a.calibration.isEmpty() || a.peaks || !a.pressure.isEmpty() || !a.energyLines.isEmpty() ||
                        !a.twoThetaStandard.isEmpty();
  if (analysis && a.files.isEmpty()) return "--peaks, --pressure and the calibrations need a FILE";
  return {};
}

}  // namespace

WindowArguments ParseWindowArguments(const QStringList& arguments) {
  WindowArguments a;
  bool options = true;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (!options || !arg.startsWith("--")) {
      a.files << arg;
      continue;
    }
    if (arg == "--") {
      options = false;
    } else if (arg == "--peaks") {
      a.peaks = true;
    } else if (arg == "--log") {
      a.log = true;
    } else if (arg == "--min-snr" || ValueOf(a, arg) != nullptr) {
      if (i + 1 >= arguments.size()) {
        a.error = arg + " needs a value";
        return a;
      }
      const QString value = arguments[++i];
      if (arg == "--min-snr") {
        bool number = false;
        a.minSnr = value.toDouble(&number);
        if (!number) a.minSnr = 0;
      } else {
        *ValueOf(a, arg) = value;
      }
    } else {
      a.error = "unknown option " + arg + " (vantor --help lists them)";
      return a;
    }
  }
  a.error = Checked(a);
  return a;
}

const char* WindowOptionsHelp() {
  return "  --peaks                    find and fit the peaks of the spectrum shown\n"
         "  --min-snr S                least signal-to-noise ratio of a peak (default 5)\n"
         "  --pressure NAME[:SCALE]    the pressure of every spectrum from this standard\n"
         "                             (its default scale when none is named)\n"
         "  --temperature K            with --pressure: kelvin (else the record's, else 300 K)\n"
         "  --guess-pressure GPA       with --pressure: pick the cell edge near this pressure\n"
         "  --calibrate-energy LINES   open the energy calibration on these lines\n"
         "                             (\"Co-57,Cd-109\", \"Pb-Ka1\", ...)\n"
         "  --calibrate-two-theta NAME open the 2theta calibration on this standard\n"
         "  --calibration FILE         apply this calibration file (from calibrate) first\n"
         "  --x channel|energy|d       the chart's x axis\n"
         "  --log                      log counts\n"
         "  --zoom X1:X2               show X1 to X2 on the x axis (and find peaks there)\n"
         "  --series FOLDER            chart the pressure (--pressure, --guess-pressure),\n"
         "                             temperature and press load of the folder's spectra\n"
         "                             against time, and keep watching it\n"
         "  --screenshot OUT.png       draw the window as it would show into OUT.png and\n"
         "                             exit (needs no display: QT_QPA_PLATFORM=offscreen)\n";
}

}  // namespace vantor::ui
