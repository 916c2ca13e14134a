// SPDX-License-Identifier: GPL-3.0-or-later
// What one program run (one window, one command line) holds across files:
// the run settings, the two change switches of the window, and the way to
// reach the user. Passed explicitly so that tests and the CLI hold their own.
#pragma once

#include <string>

#include "base/UserPrompt.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// The parameter entry's values where the run takes them for CSV sources.
inline void StoreCsvParameters(const CsvParameters& entered, RunSettings& settings) {
  settings.TwoThetaValue = entered.TwoTheta;
  settings.EnteredEGC = entered.EGC;
  settings.EnteredTemperature = entered.Temperature;
}

struct ConvertContext {
  explicit ConvertContext(UserPrompt& p) : prompt(p) {}
  // The same run reaching the user through another prompt (one file's share
  // of a run that converts several files at once).
  ConvertContext(UserPrompt& p, const ConvertContext& run)
      : prompt(p), settings(run.settings), ChangeEGC(run.ChangeEGC), Change2Theta(run.Change2Theta),
        outputFolder(run.outputFolder) {}

  UserPrompt& prompt;
  RunSettings settings;
  bool ChangeEGC = false;     // chkChangeEGC
  bool Change2Theta = false;  // chkChange2Theta
  std::string outputFolder;   // empty: outputs beside their sources; else all into this folder
};

}  // namespace vantor
