// SPDX-License-Identifier: GPL-3.0-or-later
// The window's command line after Qt has taken its own options: files to
// show, what to find in them, and a picture of the window to write
// instead of showing it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantor::ui {

struct WindowArguments {
  QStringList files;                                   // FILE or FILE:K
  bool peaks = false;                                  // --peaks: find the peaks of the spectrum shown
  std::optional<double> minSnr;                        // --min-snr S
  QString pressure;                                    // --pressure NAME[:SCALE]
  QString temperature;                                 // --temperature K
  QString guessPressure;                               // --guess-pressure GPA
  QString calibration;                                 // --calibration FILE: applied to the spectra first
  QString axis;                                        // --x channel|energy|d
  bool log = false;                                    // --log: log counts
  QString zoom;                                        // --zoom X1:X2 on the x axis
  std::optional<std::pair<double, double>> zoomRange;  // of --zoom
  QString energyLines;                                 // --calibrate-energy LINES: the dialog, fitted to these lines
  QString twoThetaStandard;  // --calibrate-two-theta NAME: the dialog, fitted to this standard
  QString screenshot;        // --screenshot OUT.png
  QString series;            // --series FOLDER
  QString error;             // what is wrong; empty when the arguments are in order
  bool ok() const { return error.isEmpty(); }
};

// The arguments without the program's name; "--" ends the options.
WindowArguments ParseWindowArguments(const QStringList& arguments);

// The options for --help.
const char* WindowOptionsHelp();

}  // namespace vantor::ui
