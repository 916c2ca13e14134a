// SPDX-License-Identifier: GPL-3.0-or-later
// What one program run (one window, one command line) holds across files:
// the run settings, where the outputs go, and the way to reach the user.
// Passed explicitly so that tests and the CLI hold their own.
#pragma once

#include <string>

#include "base/RunSettings.h"
#include "base/UserPrompt.h"

namespace vantor {

struct ConvertContext {
  explicit ConvertContext(UserPrompt& p) : prompt(p) {}
  // The same run reaching the user through another prompt (one file's share
  // of a run that converts several files at once).
  ConvertContext(UserPrompt& p, const ConvertContext& run)
      : prompt(p), settings(run.settings), outputFolder(run.outputFolder) {}

  UserPrompt& prompt;
  RunSettings settings;
  std::string outputFolder;   // empty: outputs beside their sources; else all into this folder
};

}  // namespace vantor
